// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

#include "ledger/ledger.h"

namespace pairwick::stationwindow {

// The units of a batch as the ledger lists them, a page at a time: the view asks for more as it
// scrolls (moreWanted), and a click on a column asks for another order (orderWanted). The
// ledger does the sorting; the model only holds the rows it was given.
class UnitTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        Seq,
        Name,
        Pin,
        Address,
        Result,
        Station,
        Slot,
        Attempts,
        Time,
        Operator,
        ColumnCount
    };
    // The stored result word ("passed", ...), whatever the column shows.
    static constexpr int ResultRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // The first rows of a new reading; complete when the ledger holds no more.
    void setUnits(QList<ledger::UnitRow> units, bool complete);
    // The next rows, after moreWanted.
    void appendUnits(const QList<ledger::UnitRow> &units, bool complete);
    const ledger::UnitRow &unit(int row) const { return m_units.at(row); }
    ledger::UnitOrder order() const { return m_order; }
    bool descending() const { return m_descending; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    void sort(int column, Qt::SortOrder order) override;

    // "通过" for "passed", ...: a stored result in the window's language.
    static QString resultWord(const QString &result);

signals:
    void moreWanted(qint64 offset);
    void orderWanted();

private:
    QList<ledger::UnitRow> m_units;
    bool m_complete = true;
    bool m_fetching = false;
    ledger::UnitOrder m_order = ledger::UnitOrder::Seq;
    bool m_descending = false;
};

}  // namespace pairwick::stationwindow
