// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "station/ledgerkeeper.h"
#include "station/slotevent.h"

class QLabel;

namespace pairwick::stationwindow {

// What this station did since it started, and what the whole batch holds over all stations.
class TotalsPanel final : public QWidget {
    Q_OBJECT

public:
    explicit TotalsPanel(QWidget *parent = nullptr);

    void begin();
    // Counted at once, shown at the next showChanges().
    void unitFinished(const station::UnitReport &report);
    void showChanges();
    void ledgerStatus(const station::LedgerStatus &status);
    // Slots that wait for the ledger: while any does, the ledger's line does not say all is well.
    void slotsWaitingForLedger(int count);
    // Shown from the first call after begin(), for a run that prints labels.
    void labelsWaiting(int waiting, const QString &printerProblem);

    qint64 passed() const { return m_passed; }
    qint64 failed() const { return m_failed; }

private:
    // "— an hour" until there is a pace to tell.
    static QString perHour(qint64 units, const QElapsedTimer &since);
    void showStation();
    void showLedger();

    QElapsedTimer m_running;
    QElapsedTimer m_batchClock;
    qint64 m_batchPassedFirst = 0;
    qint64 m_passed = 0;
    qint64 m_failed = 0;
    bool m_changed = false;
    station::LedgerStatus m_status;
    int m_slotsWaiting = 0;
    QLabel *m_station;
    QLabel *m_batch;
    QLabel *m_ledger;
    QLabel *m_labels;
};

}  // namespace pairwick::stationwindow
