// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/labelreprinter.h"

#include "printing/reprint.h"
#include "stationwindow/backgroundqueue.h"
#include "stationwindow/unittablemodel.h"

namespace pairwick::stationwindow {

LabelReprinter::LabelReprinter(BackgroundQueue &queue, QObject *parent)
    : QObject(parent), m_queue(queue) {}

void LabelReprinter::setSetup(const std::optional<printing::PrintSetup> &setup) {
    m_setup = setup;
}

void LabelReprinter::print(const std::optional<ledger::LedgerLocation> &location,
                           const QString &batch, const QList<qint64> &seqs, const QString &reason) {
    if (reason.trimmed().isEmpty()) {
        emit told(tr("重新打印须写明原因；没有打印任何标签"));
        return;
    }
    if (!location || !m_setup) {
        emit told(tr("设置页上的标签模板和打印机尚不可用；没有打印任何标签"));
        return;
    }
    const printing::Reprint reprint{
        batch, seqs, {}, reason.trimmed(), m_setup->station, m_setup->destination, m_setup->copies};
    m_queue.readLedger(
        this, *location,
        [this, reprint, maker = m_setup->maker](ledger::Ledger &ledger) -> std::function<void()> {
            const printing::ReprintOutcome outcome =
                printing::reprintLabels(ledger, reprint, maker, {});
            return [this, outcome, batch = reprint.batch] {
                emit told(describe(outcome, batch));
                emit recorded();
            };
        },
        [this](const QString &problem) { emit told(tr("台账不可用：%1").arg(problem)); });
}

QString LabelReprinter::describe(const printing::ReprintOutcome &outcome,
                                 const QString &batch) const {
    using Kind = printing::ReprintOutcome::Kind;
    switch (outcome.kind) {
        case Kind::Printed:
            return tr("已重新打印 %1 个标签").arg(outcome.printed);
        case Kind::NonePassed:
        case Kind::NoSuchUnit:
            return tr("批次 %1 中没有模块 %2；没有打印任何标签").arg(batch).arg(outcome.seq);
        case Kind::NotPassed:
            return tr("模块 %1 未通过（%2），不能打印标签；没有打印任何标签")
                .arg(outcome.seq)
                .arg(UnitTableModel::resultWord(outcome.detail));
        case Kind::BadLabel:
        case Kind::Away:
        case Kind::Misconfigured:
            break;
    }
    return tr("模块 %1 的标签未能打印：%2；已打印 %3 个，共 %4 个")
        .arg(outcome.seq)
        .arg(outcome.detail)
        .arg(outcome.printed)
        .arg(outcome.asked);
}

}  // namespace pairwick::stationwindow
