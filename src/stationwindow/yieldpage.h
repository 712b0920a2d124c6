// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

#include "ledger/ledgerlocation.h"
#include "ledger/yieldreport.h"
#include "stationwindow/readinggate.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace pairwick::stationwindow {

class BackgroundQueue;
class BarChart;

// The line's yield as the ledger keeps it, for this station or the whole batch: first-pass yield
// by slot, today's units by the hour and the failures most frequent first, each a chart with its
// figures in a table beside it. Read from the rollups on the window's ledger thread, a few small
// queries whatever the batch holds.
class YieldPage final : public QWidget {
    Q_OBJECT

public:
    YieldPage(BackgroundQueue &queue, QWidget *parent = nullptr);

    void showBatch(const ledger::LedgerLocation &location, const QString &batch,
                   const QString &station);
    // Reads the figures again, unless a reading is under way; then once more after it.
    void refresh();

signals:
    // The figures of a reading are on the screen.
    void shown();

private:
    struct Figures {
        ledger::YieldReport bySlot;
        ledger::YieldReport today;
    };
    void show(const Figures &figures);
    void readingEnded();

    BackgroundQueue &m_queue;
    std::optional<ledger::LedgerLocation> m_location;
    QString m_batch;
    QString m_station;
    ReadingGate m_reading;
    QComboBox *m_scope;
    QPushButton *m_refresh;
    QLabel *m_status;
    BarChart *m_slotChart;
    QTableWidget *m_slotTable;
    BarChart *m_hourChart;
    QTableWidget *m_hourTable;
    BarChart *m_failureChart;
    QTableWidget *m_failureTable;
};

}  // namespace pairwick::stationwindow
