// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include "ledger/ledger.h"

namespace pairwick::stationwindow {

// The units of a batch as the ledger lists them.
class UnitTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Seq, Name, Pin, Address, Result, Station, Slot, Attempts, Time, ColumnCount };
    // The stored result word ("passed", ...), whatever the column shows.
    static constexpr int ResultRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setUnits(QList<ledger::UnitRow> units);
    const ledger::UnitRow &unit(int row) const { return m_units.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "通过" for "passed", ...: a stored result in the window's language.
    static QString resultWord(const QString &result);

private:
    QList<ledger::UnitRow> m_units;
};

// The rows of one result (all when empty) whose address or name holds the search text.
class UnitFilter final : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setResult(const QString &result);
    void setSearch(const QString &text);
    // The unit shown in this row.
    const ledger::UnitRow &shownUnit(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_result;
    QString m_search;
};

}  // namespace pairwick::stationwindow
