// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

#include "cli/progressview.h"
#include "station/ledgerkeeper.h"
#include "station/slotalarm.h"
#include "station/slotevent.h"

namespace pairwick::cli {

// What a station shows: a live line per slot and a totals line on standard error, and, for
// scripts, a JSON object per line on standard output for every finished unit and slot change.
class StationView {
public:
    StationView(const QStringList &slotNames, const QString &batch, const QString &station,
                const QString &operatorName, bool quiet, bool json);

    void slotChanged(int index, const station::SlotEvent &event);
    void unitFinished(int index, const station::UnitReport &report);
    void ledgerStatus(const station::LedgerStatus &status);
    // The labels not yet printed, and why the printer takes none when it does not.
    void labelsWaiting(int waiting, const QString &printerProblem);
    void labelSent(qint64 seq);
    // Marks the slot's line from now until the alarm is cleared.
    void slotAlarm(const station::SlotAlarmChange &change, const station::UnitReport &report);
    // This station's and the batch's counts, and what keeps the ledger from the slots.
    const QString &totalsLine() const { return m_totals; }

private:
    struct Shown {
        station::SlotState state = station::SlotState::Finished;
        qint64 seq = 0;
        bool awaitingRemoval = false;
        bool operator==(const Shown &) const = default;
    };
    void showTotals();
    void printJson(const QJsonObject &object, service::Priority priority);

    QStringList m_slots;
    QString m_batch;
    QString m_station;
    QString m_operator;
    ProgressView m_progress;
    QList<Shown> m_shown;   // what the JSON lines last said of each slot
    QStringList m_results;  // the result each slot shows while its unit is in
    QStringList m_lines;    // each slot's line as last shown, without its alarm
    QStringList m_alarms;   // the mark before a slot's line while its alarm is raised
    bool m_json;
    bool m_bell;
    int m_passed = 0;
    int m_failed = 0;
    int m_already = 0;
    int m_rejected = 0;
    station::LedgerStatus m_ledger;
    int m_labelsWaiting = 0;
    QString m_printerProblem;
    QString m_totals;
    QElapsedTimer m_running;
};

}  // namespace pairwick::cli
