// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <optional>

#include "ledger/ledger.h"
#include "printing/labelprinter.h"

namespace pairwick::printing {
struct ReprintOutcome;
}

namespace pairwick::stationwindow {

class BackgroundQueue;

// Prints again, and records with the operator's reason, the labels of passed units, through the
// same reprint as `pairwick-cli label print`, on the window's ledger thread.
class LabelReprinter final : public QObject {
    Q_OBJECT

public:
    explicit LabelReprinter(BackgroundQueue &queue, QObject *parent = nullptr);

    // The template and printer of the set-up page, as far as they are good; nothing: no labels.
    void setSetup(const std::optional<printing::PrintSetup> &setup);
    bool hasSetup() const { return m_setup.has_value(); }

    // told says how it went, in the operator's language; recorded follows it when the ledger was
    // reached, so that what shows the batch reads it again.
    void print(const std::optional<ledger::LedgerLocation> &location, const QString &batch,
               const QList<qint64> &seqs, const QString &reason);

signals:
    void told(const QString &outcome);
    void recorded();

private:
    QString describe(const printing::ReprintOutcome &outcome, const QString &batch) const;

    BackgroundQueue &m_queue;
    std::optional<printing::PrintSetup> m_setup;
};

}  // namespace pairwick::stationwindow
