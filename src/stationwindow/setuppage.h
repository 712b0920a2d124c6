// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QWidget>
#include <optional>

#include "station/stationsetup.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace pairwick::stationwindow {

class SlotPicker;

// Setting a run up: every field of `pairwick-cli station`, each with the problem found in it
// right beside it, and Start, which works only when there is none.
class SetupPage final : public QWidget {
    Q_OBJECT

public:
    explicit SetupPage(QWidget *parent = nullptr);

    void fill(const station::StationSetup &setup);
    station::StationSetup setup() const;
    // Problems found before the ledger is asked: Start waits until there are none.
    void showProblems(const QList<station::SetupProblem> &problems);
    // Why the last Start was refused; Start may be tried again as it is.
    void showRefusal(const station::SetupProblem &refusal);
    void setBatches(const QStringList &batches);
    void setBusy(bool busy);
    // Whether the label fields as they stand can print a test label.
    void setTestPrintable(bool printable);

signals:
    void changed();
    void startRequested();
    void testPrintRequested();

private:
    QLabel *problemLabel(station::SetupField field);
    void addRow(QFormLayout &form, const QString &caption, QWidget *field,
                std::optional<station::SetupField> problemField);
    QWidget *withBrowse(QLineEdit *field, const QString &filter);

    QLineEdit *m_ledger;
    QComboBox *m_batch;
    QLineEdit *m_profile;
    QLineEdit *m_values;
    QPlainTextEdit *m_fields;
    QLineEdit *m_first;
    QLineEdit *m_count;
    QLineEdit *m_station;
    QLineEdit *m_onPass;
    QLineEdit *m_timeout;
    QLineEdit *m_operator;
    QLineEdit *m_maxAttempts;
    QLineEdit *m_slotAlarm;
    QCheckBox *m_again;
    QLineEdit *m_label;
    QLineEdit *m_printer;
    QSpinBox *m_copies;
    QPushButton *m_testPrint;
    SlotPicker *m_slots;
    QPushButton *m_start;
    QHash<station::SetupField, QLabel *> m_problems;
    bool m_busy = false;
};

}  // namespace pairwick::stationwindow
