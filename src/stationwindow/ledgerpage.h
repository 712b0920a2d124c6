// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

#include "ledger/ledgerlocation.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace pairwick::stationwindow {

class BackgroundQueue;
class UnitFilter;
class UnitTableModel;

// The batch's units as the ledger holds them, over all stations: filtered by result, searched
// by address or name, and exported as the command line's CSV.
class LedgerPage final : public QWidget {
    Q_OBJECT

public:
    LedgerPage(BackgroundQueue &queue, QWidget *parent = nullptr);

    void showBatch(const ledger::LedgerLocation &location, const QString &batch);
    // Reads the units again, unless a reading is under way; then once more after it.
    void refresh();
    // The units shown, as `pairwick-cli ledger units --csv` writes them.
    bool exportCsv(const QString &path, QString *error) const;

    const UnitFilter &shown() const { return *m_filter; }

private:
    void readingEnded();
    void askExport();

    BackgroundQueue &m_queue;
    std::optional<ledger::LedgerLocation> m_location;
    QString m_batch;
    bool m_reading = false;
    bool m_readAgain = false;
    UnitTableModel *m_units;
    UnitFilter *m_filter;
    QComboBox *m_result;
    QLineEdit *m_search;
    QPushButton *m_refresh;
    QPushButton *m_export;
    QTableView *m_table;
    QLabel *m_status;
};

}  // namespace pairwick::stationwindow
