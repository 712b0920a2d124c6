// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/unittablemodel.h"

#include "station/slotevent.h"
#include "stationwindow/slottile.h"

namespace pairwick::stationwindow {

void UnitTableModel::setUnits(QList<ledger::UnitRow> units) {
    beginResetModel();
    m_units = std::move(units);
    endResetModel();
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
    if (role == Qt::TextAlignmentRole && (index.column() == Seq || index.column() == Attempts))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
        case Seq:
            return unit.seq;
        case Name:
            return unit.name;
        case Pin:
            return unit.pin;
        case Address:
            return unit.address;
        case Result:
            return resultWord(unit.state);
        case Station:
            return unit.station;
        case Slot:
            return unit.slot;
        case Attempts:
            return unit.attempts;
        case Time:
            return unit.latest.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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
        case ColumnCount:
            break;
    }
    return {};
}

void UnitFilter::setResult(const QString &result) {
    m_result = result;
    invalidateFilter();
}

void UnitFilter::setSearch(const QString &text) {
    m_search = text.trimmed();
    invalidateFilter();
}

bool UnitFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
    const auto *units = static_cast<const UnitTableModel *>(sourceModel());
    if (sourceParent.isValid() || sourceRow >= units->rowCount())
        return false;
    const ledger::UnitRow &unit = units->unit(sourceRow);
    if (!m_result.isEmpty() && unit.state != m_result)
        return false;
    // An address is found however its bytes are written apart.
    const auto bare = [](QString text) { return text.remove(u':').remove(u'-'); };
    return m_search.isEmpty() || bare(unit.address).contains(bare(m_search), Qt::CaseInsensitive) ||
           unit.name.contains(m_search, Qt::CaseInsensitive);
}

const ledger::UnitRow &UnitFilter::shownUnit(int row) const {
    return static_cast<const UnitTableModel *>(sourceModel())
        ->unit(mapToSource(index(row, 0)).row());
}

}  // namespace pairwick::stationwindow
