// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QString>
#include <optional>

#include "labels/labelvalues.h"

namespace pairwick::printing {

// A label on its way: the unit's values as the ledger recorded them and the adapter read back.
struct QueuedLabel {
    QString id;  // the key of its row in the ledger, so that recording it twice changes nothing
    labels::LabelValues values;
    // It waited for a printer that was away, or for a station's next start.
    bool waited = false;
    QDateTime sent;  // once sent
    // A file of its own, whose name gives its place in line and whose suffix its state.
    QString file;
};

// The labels a station owes, in a folder beside its spool: a file each, synced and renamed into
// place before the call returns, so they survive a kill and a power cut. A label's file moves
// from .queued to .sending once the printer is reached, before a byte of it goes out, and to .sent
// once the printer took it all; it goes once the ledger has its row. A .sending file that a start
// finds is a label that may or may not have printed: it is recorded as uncertain and never sent
// again, so a kill costs at worst one label whose fate someone must look at, never one printed
// twice unseen.
class LabelQueue {
public:
    explicit LabelQueue(QString folder);

    const QString &folder() const { return m_folder; }
    // Creates the folder; an earlier run's queued labels have waited, its .sending ones become
    // uncertain. False and why when the folder cannot be used.
    bool open(QString *error);
    // On disk when it returns true. Any thread.
    bool add(const labels::LabelValues &values, QString *error);

    // The oldest label to send, still queued.
    std::optional<QueuedLabel> oldest(QString *error);
    // The printer is reached and the label's first byte about to go.
    bool markSending(QueuedLabel &label, QString *error);
    // A label that did not go out (whole): back in its place, or still there, having waited.
    bool putBack(const QueuedLabel &label, QString *error);
    bool markSent(QueuedLabel &label, QString *error);

    // Sent, or uncertain after a kill, and not yet in the ledger; oldest first.
    QList<QueuedLabel> toRecord(bool uncertain) const;
    // Its row is in the ledger.
    void forget(const QueuedLabel &label);

    int waiting() const;

private:
    bool write(const QueuedLabel &label, const QString &state, QString *error);
    bool move(QueuedLabel &label, const QString &state, QString *error);
    QStringList entries(const QString &state) const;

    QString m_folder;
    mutable QMutex m_mutex;
    qint64 m_lastNumber = 0;
    qint64 m_startNumber = 0;  // the last label an earlier run left
};

// Where a station of this name keeps its labels: beside its spool.
QString labelQueueFolderFor(const QString &spoolFile);

}  // namespace pairwick::printing
