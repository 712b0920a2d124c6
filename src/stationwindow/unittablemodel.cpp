// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/unittablemodel.h"

#include "ledger/ledgerlisting.h"
#include "provision/attemptcodes.h"
#include "station/slotevent.h"
#include "stationwindow/slottile.h"

namespace pairwick::stationwindow {

namespace {

// The order each column sorts by in the ledger. The PIN has no order of its own (it is kept
// inside the unit's values, where no index reaches it), so its column sorts by number.
ledger::UnitOrder orderOf(int column) {
    switch (UnitTableModel::Column(column)) {
        case UnitTableModel::Name:
            return ledger::UnitOrder::Name;
        case UnitTableModel::Address:
            return ledger::UnitOrder::Address;
        case UnitTableModel::Result:
            return ledger::UnitOrder::State;
        case UnitTableModel::Station:
            return ledger::UnitOrder::Station;
        case UnitTableModel::Slot:
            return ledger::UnitOrder::Slot;
        case UnitTableModel::Attempts:
            return ledger::UnitOrder::Attempts;
        case UnitTableModel::Time:
            return ledger::UnitOrder::Latest;
        default:
            return ledger::UnitOrder::Seq;
    }
}

// What the tile of a unit whose latest attempt failed or was cut short said: the reason, and the
// keys written and sent; empty for any other unit.
QString reasonOf(const ledger::UnitRow &unit) {
    if (unit.error.isEmpty())
        return {};
    station::UnitReport report;
    report.result = ledger::resultFromName(unit.state).value_or(ledger::AttemptResult::Failed);
    report.error = provision::codes::failureText(unit.step, unit.error, unit.detail);
    report.written = unit.written;
    report.sent = unit.sent;
    return ledger::withControlsEscaped(station::resultText(report));
}

}  // namespace

void UnitTableModel::setUnits(QList<ledger::UnitRow> units, bool complete) {
    beginResetModel();
    m_units = std::move(units);
    m_complete = complete;
    m_fetching = false;
    endResetModel();
}

void UnitTableModel::appendUnits(const QList<ledger::UnitRow> &units, bool complete) {
    m_fetching = false;
    m_complete = complete;
    if (units.isEmpty())
        return;
    beginInsertRows({}, int(m_units.size()), int(m_units.size() + units.size() - 1));
    m_units.append(units);
    endInsertRows();
}

bool UnitTableModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && !m_complete && !m_fetching;
}

void UnitTableModel::fetchMore(const QModelIndex &parent) {
    if (!canFetchMore(parent))
        return;
    m_fetching = true;
    emit moreWanted(m_units.size());
}

void UnitTableModel::sort(int column, Qt::SortOrder order) {
    const ledger::UnitOrder wanted = orderOf(column);
    const bool descending = order == Qt::DescendingOrder;
    if (wanted == m_order && descending == m_descending)
        return;
    m_order = wanted;
    m_descending = descending;
    emit orderWanted();
}

int UnitTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_units.size());
}

int UnitTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString UnitTableModel::resultWord(const QString &result) {
    using station::SlotState;
    const std::optional<ledger::AttemptResult> known = ledger::resultFromName(result);
    if (!known)
        return result;
    switch (*known) {
        case ledger::AttemptResult::Started:
            return SlotTile::wordOf(SlotState::Working);
        case ledger::AttemptResult::Passed:
            return SlotTile::wordOf(SlotState::Passed);
        case ledger::AttemptResult::Failed:
            return SlotTile::wordOf(SlotState::Failed);
        case ledger::AttemptResult::Interrupted:
            return SlotTile::wordOf(SlotState::Interrupted);
        case ledger::AttemptResult::Rejected:
            return SlotTile::wordOf(SlotState::Rejected);
        case ledger::AttemptResult::Already:
            break;
    }
    return SlotTile::wordOf(SlotState::Already);
}

QVariant UnitTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_units.size())
        return {};
    const ledger::UnitRow &unit = m_units.at(index.row());
    if (role == ResultRole)
        return unit.state;
    if (role == Qt::ToolTipRole && index.column() == Result)
        return reasonOf(unit);
    if (role == Qt::TextAlignmentRole && (index.column() == Seq || index.column() == Attempts))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
        case Seq:
            return unit.seq;
        case Name:
            return ledger::withControlsEscaped(unit.name);
        case Pin:
            return unit.pin;
        case Address:
            return unit.address;
        case Result: {
            const QString reason = reasonOf(unit);
            return reason.isEmpty() ? resultWord(unit.state)
                                    : tr("%1：%2").arg(resultWord(unit.state), reason);
        }
        case Station:
            return ledger::withControlsEscaped(unit.station);
        case Slot:
            return ledger::withControlsEscaped(unit.slot);
        case Attempts:
            return unit.attempts;
        case Time:
            return unit.latest.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case Operator:
            return ledger::withControlsEscaped(unit.operatorName);
        case ColumnCount:
            break;
    }
    return {};
}

QVariant UnitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
        case Seq:
            return tr("编号");
        case Name:
            return tr("名称");
        case Pin:
            return tr("PIN");
        case Address:
            return tr("地址");
        case Result:
            return tr("结果");
        case Station:
            return tr("工位");
        case Slot:
            return tr("槽");
        case Attempts:
            return tr("尝试次数");
        case Time:
            return tr("时间");
        case Operator:
            return tr("操作员");
        case ColumnCount:
            break;
    }
    return {};
}

}  // namespace pairwick::stationwindow
