// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/reprint.h"

#include <QUuid>
#include <optional>

namespace pairwick::printing {

namespace {

using Kind = ReprintOutcome::Kind;

// The units asked for, all of them passed, or what refuses them before any is sent.
std::variant<QList<ledger::UnitRow>, ReprintOutcome> unitsToPrint(ledger::Ledger &opened,
                                                                  const Reprint &reprint) {
    QList<ledger::UnitRow> found;
    ledger::Selection selection;
    selection.batch = reprint.batch;
    if (reprint.seqs.isEmpty()) {
        selection.since = reprint.since;
        selection.state = QStringLiteral("passed");
        opened.units(selection, [&](const ledger::UnitRow &unit) { found.append(unit); });
        if (found.isEmpty())
            return ReprintOutcome{Kind::NonePassed, 0, QString(), 0, 0};
        return found;
    }
    for (const qint64 seq : reprint.seqs) {
        selection.search = QString::number(seq);
        std::optional<ledger::UnitRow> unit;
        opened.units(selection, [&](const ledger::UnitRow &row) {
            if (row.seq == seq)
                unit = row;
        });
        if (!unit)
            return ReprintOutcome{Kind::NoSuchUnit, seq, QString(), 0, 0};
        if (unit->state != u"passed")
            return ReprintOutcome{Kind::NotPassed, seq, unit->state, 0, 0};
        found.append(*unit);
    }
    return found;
}

}  // namespace

ReprintOutcome reprintLabels(ledger::Ledger &opened, const Reprint &reprint,
                             const LabelMaker &maker,
                             const std::function<void(const QString &batch, qint64 seq)> &printed) {
    const auto units = unitsToPrint(opened, reprint);
    if (const auto *refused = std::get_if<ReprintOutcome>(&units))
        return *refused;
    const QList<ledger::UnitRow> &all = std::get<QList<ledger::UnitRow>>(units);
    ReprintOutcome outcome{Kind::Printed, 0, QString(), 0, all.size()};
    for (const ledger::UnitRow &unit : all) {
        const labels::LabelValues values = recordedLabelValues(unit);
        outcome.seq = values.seq;
        const auto made = maker.make(values);
        if (const auto *problem = std::get_if<QString>(&made)) {
            outcome.kind = Kind::BadLabel;
            outcome.detail = *problem;
            return outcome;
        }
        const SendOutcome sent = sendLabel(
            reprint.destination,
            {std::get<QByteArray>(made), maker.kind, reprint.copies, values.batch, values.seq});
        if (sent.kind != SendOutcome::Kind::Sent) {
            outcome.kind = sent.kind == SendOutcome::Kind::Away ? Kind::Away : Kind::Misconfigured;
            outcome.detail = sent.reason;
            return outcome;
        }
        opened.recordLabel({QUuid::createUuid().toString(QUuid::WithoutBraces), values.batch,
                            values.seq, maker.templateHash, reprint.destination.text,
                            QDateTime::currentDateTimeUtc(), reprint.copies,
                            QStringLiteral("reprint: ") + reprint.reason, QStringLiteral("sent"),
                            reprint.station});
        ++outcome.printed;
        if (printed)
            printed(values.batch, values.seq);
    }
    return outcome;
}

labels::LabelValues recordedLabelValues(const ledger::UnitRow &unit) {
    // The operator of the unit's latest attempt: the one that passed, unless it was visited
    // again since.
    return {unit.name,    unit.pin,  unit.address,         unit.seq,         unit.batch,
            unit.station, unit.slot, QDate::currentDate(), unit.operatorName};
}

}  // namespace pairwick::printing
