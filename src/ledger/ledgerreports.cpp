// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger's listings of units, attempts and labels: each goes out row by row as the database
// gives it.
#include "ledger/ledger.h"

#include <QCoreApplication>
#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"
#include "ledger/unitsearch.h"

namespace pairwick::ledger {

namespace {

// Rows a whole listing reads at once.
constexpr qint64 ListingPage = 10000;

// A column of the unit's latest attempt, looked up only for the few units whose latest attempt
// failed or was cut short, so that a listing of passed units pays nothing for it.
QString ofLatestCutShort(const char *column) {
    return QStringLiteral(
               "CASE WHEN state IN ('failed', 'interrupted', 'rejected') THEN (SELECT a.%1 FROM"
               " attempts a WHERE a.id = units.latest_attempt) END")
        .arg(QLatin1String(column));
}

const QString UnitsSql =
    QStringLiteral(
        "SELECT batch, seq, address, unit_values, created, state, station, slot, attempts, version,"
        " latest, name, %1 AS error, %2 AS written, %3 AS sent, %4 AS step, %5 AS detail,"
        " (SELECT o.operator_name FROM attempts o WHERE o.id = units.latest_attempt),"
        " (SELECT COUNT(*) FROM labels l WHERE l.batch = units.batch AND l.seq = units.seq)"
        " AS labels FROM %6 ORDER BY %7%8")
        .arg(ofLatestCutShort("error"), ofLatestCutShort("written"), ofLatestCutShort("sent"),
             ofLatestCutShort("step"), ofLatestCutShort("detail"));

const QString AttemptsSql = QStringLiteral(
    "SELECT id, batch, seq, address, station, slot, device, started, ended, result, step, error,"
    " found, read_back, version, written, unchanged, on_pass_status, sent, detail, operator_name"
    " FROM attempts%1 ORDER BY batch, started, id LIMIT :limit");

const QString LabelsSql = QStringLiteral(
    "SELECT id, batch, seq, template_hash, printer, printed, copies, reason, state, station"
    " FROM labels%1 ORDER BY batch, printed, id LIMIT :limit");

// The columns each order sorts by; every one ends in the unit's key, so pages never overlap.
// All go one way, so that an index on (batch, column, seq) serves the order read backwards too,
// where a mixed one would sort every unit of a station or a state.
QString orderBy(UnitOrder order, bool descending) {
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    const auto first = [&](const char *column) {
        return QStringLiteral("%1%2, batch%2, seq%2").arg(QLatin1String(column), direction);
    };
    switch (order) {
        case UnitOrder::Seq:
            break;
        case UnitOrder::Name:
            return first("name");
        case UnitOrder::Address:
            return first("address");
        case UnitOrder::State:
            return first("state");
        case UnitOrder::Station:
            return first("station");
        case UnitOrder::Slot:
            return first("slot");
        case UnitOrder::Attempts:
            return first("attempts");
        case UnitOrder::Latest:
            return first("latest");
    }
    return QStringLiteral("batch%1, seq%1").arg(direction);
}

// The WHERE clause of a listing: only the batch asked for, only what was active since, for units
// the state, and whatever else the listing needs.
QString narrowed(const Selection &selection, const QString &activeSince, bool units,
                 QStringList conditions) {
    conditions.removeAll(QString());
    if (!selection.batch.isEmpty())
        conditions.append(QStringLiteral("batch = :batch"));
    if (selection.since.isValid())
        conditions.append(activeSince);
    if (units && !selection.state.isEmpty())
        conditions.append(QStringLiteral("state = :state"));
    return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(" AND ");
}

void bindSelection(SqlStatement &query, const Selection &selection, bool units) {
    if (!selection.batch.isEmpty())
        query.bind(QStringLiteral(":batch"), selection.batch);
    if (selection.since.isValid())
        query.bind(QStringLiteral(":since"), storedTime(selection.since));
    if (units && !selection.state.isEmpty())
        query.bind(QStringLiteral(":state"), selection.state);
    if (units && !selection.search.isEmpty())
        bindSearch(query, selection);
    if (units && selection.limit > 0)
        query.bind(QStringLiteral(":offset"), selection.offset);
    if (selection.limit > 0)
        query.bind(QStringLiteral(":limit"), selection.limit);
}

UnitRow unitRow(const SqlStatement &query) {
    UnitRow row;
    row.batch = query.text(0);
    row.seq = query.number(1);
    row.address = query.text(2);
    row.pin = settingsFromStored(query.text(3)).value(settings::Key::Pin);
    row.state = query.text(5);
    row.station = query.text(6);
    row.slot = query.text(7);
    row.attempts = int(query.number(8));
    row.version = query.text(9);
    row.first = timeFromStored(query.text(4));
    row.latest = timeFromStoredOr(query.text(10), query.text(4));
    row.name = query.text(11);
    row.error = query.text(12);
    row.written = keysFromStored(query.text(13));
    row.sent = keysFromStored(query.text(14));
    row.step = query.text(15);
    row.detail = query.text(16);
    row.operatorName = query.text(17);
    row.labels = query.number(18);
    return row;
}

AttemptRow attemptRow(const SqlStatement &query) {
    AttemptRow row;
    row.id = query.text(0);
    row.batch = query.text(1);
    row.seq = query.number(2);
    row.address = query.text(3);
    row.station = query.text(4);
    row.slot = query.text(5);
    row.device = query.text(6);
    row.started = timeFromStored(query.text(7));
    row.ended = timeFromStored(query.text(8));
    row.result = query.text(9);
    row.step = query.text(10);
    row.error = query.text(11);
    row.found = settingsFromStored(query.text(12));
    row.readBack = settingsFromStored(query.text(13));
    row.version = query.text(14);
    row.written = keysFromStored(query.text(15));
    row.unchanged = keysFromStored(query.text(16));
    if (!query.isNull(17))
        row.onPassStatus = int(query.number(17));
    row.sent = keysFromStored(query.text(18));
    row.detail = query.text(19);
    row.operatorName = query.text(20);
    return row;
}

LabelRecord labelRecord(const SqlStatement &query) {
    LabelRecord row;
    row.id = query.text(0);
    row.batch = query.text(1);
    row.seq = query.number(2);
    row.templateHash = query.text(3);
    row.printer = query.text(4);
    row.printed = timeFromStored(query.text(5));
    row.copies = int(query.number(6));
    row.reason = query.text(7);
    row.state = query.text(8);
    row.station = query.text(9);
    return row;
}

// Reads page after page until one comes back short (a limit of 0: one page of every row):
// pageAfter(last) runs the statement for the page after the row last (none: the first page),
// and each row goes to each as it comes.
template <typename Row, typename PageAfter, typename RowOf>
void inPages(qint64 limit, PageAfter pageAfter, RowOf rowOf,
             const std::function<void(const Row &)> &each) {
    std::optional<Row> last;
    for (;;) {
        SqlStatement query = pageAfter(last);
        qint64 rows = 0;
        while (query.next()) {
            last = rowOf(query);
            each(*last);
            ++rows;
        }
        if (limit == 0 || rows < limit)
            return;
    }
}

// A listing in the order of (batch, its time, id), which an index of each kind serves.
struct TimeOrderedListing {
    QString sql;  // its WHERE clause as %1, LIMIT :limit
    QString timeColumn;
    QString activeSince;
    QString doing;
};

// Every row of the listing that the selection asks for, a page at a time, each page starting after
// the last row of the one before.
template <typename Row>
void inTimeOrder(LedgerConnection &connection, const Selection &selection,
                 const TimeOrderedListing &listing, QDateTime Row::*timeOf,
                 Row (*rowOf)(const SqlStatement &), const std::function<void(const Row &)> &each) {
    Selection page = selection;
    page.limit = ListingPage;
    const QString after = page.batch.isEmpty()
                              ? QStringLiteral("(batch, %1, id) > (:lastBatch, :lastTime, :lastId)")
                              : QStringLiteral("(%1, id) > (:lastTime, :lastId)");
    const auto pageAfter = [&](const std::optional<Row> &last) {
        const QString where = narrowed(page, listing.activeSince, false,
                                       {last ? after.arg(listing.timeColumn) : QString()});
        SqlStatement query(connection.database(), listing.sql.arg(where));
        bindSelection(query, page, false);
        if (last && page.batch.isEmpty())
            query.bind(QStringLiteral(":lastBatch"), last->batch);
        if (last)
            query.bind(QStringLiteral(":lastTime"), storedTime((*last).*timeOf))
                .bind(QStringLiteral(":lastId"), last->id);
        query.exec();
        return query;
    };
    connection.run(listing.doing, [&] { inPages(ListingPage, pageAfter, rowOf, each); });
}

}  // namespace

// A whole listing in the index's order goes a page at a time, each page starting after the last
// row of the one before: the server walks the index instead of sorting the whole batch before
// the first row, and neither side ever holds more than a page.
void Ledger::units(const Selection &selection, const std::function<void(const UnitRow &)> &each) {
    const bool paged =
        selection.limit == 0 && selection.order == UnitOrder::Seq && !selection.descending;
    Selection page = selection;
    page.limit = paged ? ListingPage : selection.limit;
    UnitSearch search{QStringLiteral("units"), QString()};
    const auto pageAfter = [&](const std::optional<UnitRow> &last) {
        // A unit with an attempt under way is active whenever it is asked.
        const QString where = narrowed(
            page, QStringLiteral("(latest >= :since OR state = 'started')"), true,
            {search.condition, !last ? QString()
                               : page.batch.isEmpty()
                                   ? QStringLiteral("(batch, seq) > (:lastBatch, :lastSeq)")
                                   : QStringLiteral("seq > :lastSeq")});
        SqlStatement query(
            d->connection.database(),
            UnitsSql.arg(
                search.from + where, orderBy(page.order, page.descending),
                page.limit > 0 ? QStringLiteral(" LIMIT :limit OFFSET :offset") : QString()));
        bindSelection(query, page, true);
        if (last && page.batch.isEmpty())
            query.bind(QStringLiteral(":lastBatch"), last->batch);
        if (last)
            query.bind(QStringLiteral(":lastSeq"), last->seq);
        query.exec();
        return query;
    };
    d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出模块"), [&] {
        if (!page.search.isEmpty())
            search = unitSearch(d->connection.database(), d->connection.isSqlite(), page);
        inPages(paged ? ListingPage : 0, pageAfter, unitRow, each);
    });
}

void Ledger::attempts(const Selection &selection,
                      const std::function<void(const AttemptRow &)> &each) {
    inTimeOrder(d->connection, selection,
                {AttemptsSql, QStringLiteral("started"),
                 QStringLiteral("(ended IS NULL OR ended >= :since)"),
                 QCoreApplication::translate("pairwick::ledger", "列出尝试")},
                &AttemptRow::started, attemptRow, each);
}

void Ledger::labels(const Selection &selection,
                    const std::function<void(const LabelRecord &)> &each) {
    inTimeOrder(d->connection, selection,
                {LabelsSql, QStringLiteral("printed"), QStringLiteral("printed >= :since"),
                 QCoreApplication::translate("pairwick::ledger", "列出标签")},
                &LabelRecord::printed, labelRecord, each);
}

}  // namespace pairwick::ledger
