// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>

namespace pairwick::ledger {
class Ledger;
struct AttemptEnd;
}  // namespace pairwick::ledger

namespace pairwick::station {

// The one place a result waits while the ledger is away. Every end of an attempt is written here,
// to disk, before the ledger is asked to store it, and leaves only once stored: a station that is
// killed or loses its ledger keeps its results and stores them at its next start. Storing twice
// is harmless, since the ledger closes an attempt only once.
class ResultSpool {
public:
    explicit ResultSpool(QString path);

    const QString &path() const { return m_path; }
    // False, and the reason, when the file cannot be read back; nothing is thrown away then.
    bool load(QString *error);
    // On disk when it returns; false and the reason when the disk refused it.
    bool addEnd(const ledger::AttemptEnd &end, QString *error);
    bool addOnPass(const QString &attemptId, int exitStatus, QString *error);
    // Stores what waits, oldest first, and keeps what could not be stored; returns at once when
    // another thread is storing them already. Throws LedgerError.
    void flush(ledger::Ledger &ledger);
    int pendingCount() const;

private:
    bool add(const QJsonObject &entry, QString *error);
    bool saveLocked(QString *error);

    QString m_path;
    mutable QMutex m_mutex;
    QMutex m_flushMutex;
    QList<QJsonObject> m_entries;
};

// Where a station of this name keeps its spool: under $XDG_STATE_HOME/pairwick/.
QString spoolPathFor(const QString &station);

}  // namespace pairwick::station
