// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

#include "station/ledgerkeeper.h"
#include "station/slotalarm.h"
#include "station/slotevent.h"

class QGridLayout;
class QLabel;
class QPushButton;

namespace pairwick::stationwindow {

class SlotTile;
class TotalsPanel;

// A running station: the totals, one tile per slot, and Stop.
class RunPage final : public QWidget {
    Q_OBJECT

public:
    explicit RunPage(QWidget *parent = nullptr);

    void begin(const QStringList &slotNames);
    void slotChanged(int index, const station::SlotEvent &event);
    void unitFinished(int index, const station::UnitReport &report);
    void slotAlarm(const station::SlotAlarmChange &change);
    void ledgerStatus(const station::LedgerStatus &status);
    void labelsWaiting(int waiting, const QString &printerProblem);
    // A passed unit's label went into the queue, or out to the printer.
    void labelQueued(int index, qint64 seq);
    void labelSent(qint64 seq);
    void stopping();
    // complete: the batch holds the units asked for.
    void ended(bool complete);

    const QList<SlotTile *> &tiles() const { return m_tiles; }

signals:
    void stopRequested();

private:
    int slotsWaitingForLedger() const;
    // At the next frame, with whatever else comes until then.
    void showSoon();
    void showPending();

    TotalsPanel *m_totals;
    QLabel *m_runState;
    QPushButton *m_stop;
    QGridLayout *m_grid;
    QList<SlotTile *> m_tiles;
    // What each tile is still to show: every change of state in order, of the steps within one
    // state only the latest.
    QList<QList<station::SlotEvent>> m_pending;
    QTimer m_frame;
};

}  // namespace pairwick::stationwindow
