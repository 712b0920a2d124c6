// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

#include "ledger/ledger.h"
#include "printing/labelprinter.h"
#include "stationwindow/readinggate.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace pairwick::stationwindow {

class BackgroundQueue;
class LabelReprinter;
class UnitTableModel;

// The batch's units as the ledger holds them, over all stations: filtered by result, searched
// (Ctrl+F) by number or the beginning of a name or address, sorted and exported as the command
// line's CSV, all by the ledger on the window's ledger thread; the table holds only the pages it
// was scrolled through.
class LedgerPage final : public QWidget {
    Q_OBJECT

public:
    LedgerPage(BackgroundQueue &queue, QWidget *parent = nullptr);

    void showBatch(const ledger::LedgerLocation &location, const QString &batch);
    // Reads the rows shown again, unless a reading is under way; then once more after it.
    void refresh();
    // Writes the units shown, in their order, as `pairwick-cli ledger units --csv` writes them;
    // exported tells how it went (error empty when it went well).
    void exportCsv(const QString &path);

    // The template and printer of the set-up page, as far as they are good; nothing: no labels.
    void setLabelSetup(const std::optional<printing::PrintSetup> &setup);
    // Prints again, and records with the reason, the labels of these units of the batch shown;
    // labelsPrinted tells how it went.
    void printLabels(const QList<qint64> &seqs, const QString &reason);

    const UnitTableModel &shown() const { return *m_units; }

signals:
    void exported(const QString &path, const QString &error);
    void labelsPrinted(const QString &outcome);

private:
    // What the table shows: the batch, the result and search asked for, the model's order.
    ledger::Selection selection() const;
    void readingEnded();
    void fetch(qint64 offset);
    void askExport();
    void askPrintLabels();
    void enablePrintLabels();
    void tellReprint(const QString &outcome);

    BackgroundQueue &m_queue;
    std::optional<ledger::LedgerLocation> m_location;
    QString m_batch;
    ReadingGate m_reading;
    // Bumped by every new reading, so that a page asked for before it is dropped.
    quint64 m_generation = 0;
    UnitTableModel *m_units;
    QComboBox *m_result;
    QLineEdit *m_search;
    QPushButton *m_refresh;
    QPushButton *m_export;
    QPushButton *m_printLabels;
    QTableView *m_table;
    QLabel *m_status;
    QTimer *m_searchPause;
    LabelReprinter *m_reprinter;
};

}  // namespace pairwick::stationwindow
