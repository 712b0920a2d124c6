// SPDX-License-Identifier: GPL-3.0-or-later
// What the ledger tells people: the totals, batches, units and attempts it holds. Counts are read
// as kept, listings go out row by row as the database gives them.
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

const QString TotalsSql = QStringLiteral(
    "SELECT units, passed, failed, interrupted, rejected FROM batches"
    " WHERE name = :batch");

const QString BatchesSql = QStringLiteral(
    "SELECT name, first_seq, next_seq, created, first_activity, last_activity,"
    " units, passed, failed, interrupted, rejected FROM batches ORDER BY created, name");

const QString StationsSql =
    QStringLiteral("SELECT station FROM batch_stations WHERE batch = :batch ORDER BY station");

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

// A batch with no attempts yet was last active when it was made.
QDateTime orTime(const QString &stored, const QString &fallback) {
    return timeFromStored(stored.isEmpty() ? fallback : stored);
}

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
    row.latest = orTime(query.text(10), query.text(4));
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

}  // namespace

BatchTotals Ledger::totals(const QString &batch) {
    return d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "统计批次 %1 的模块").arg(batch), [&] {
            SqlStatement query(d->connection.database(), TotalsSql);
            if (!query.bind(QStringLiteral(":batch"), batch).exec().next())
                return BatchTotals{};
            return BatchTotals{query.number(0), query.number(1), query.number(2), query.number(3),
                               query.number(4)};
        });
}

QList<BatchSummary> Ledger::batches() {
    return d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出批次"), [&] {
        QList<BatchSummary> found;
        const QSqlDatabase db = d->connection.database();
        SqlStatement query(db, BatchesSql);
        query.exec();
        while (query.next()) {
            BatchSummary summary;
            summary.name = query.text(0);
            summary.first = query.number(1);
            summary.next = query.number(2);
            summary.firstActivity = orTime(query.text(4), query.text(3));
            summary.lastActivity = orTime(query.text(5), query.text(3));
            summary.totals = BatchTotals{query.number(6), query.number(7), query.number(8),
                                         query.number(9), query.number(10)};
            found.append(summary);
        }
        query.finish();
        for (BatchSummary &summary : found) {
            SqlStatement stations(db, StationsSql);
            stations.bind(QStringLiteral(":batch"), summary.name).exec();
            while (stations.next())
                summary.stations.append(stations.text(0));
        }
        return found;
    });
}

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
    Selection page = selection;
    page.limit = ListingPage;
    const auto pageAfter = [&](const std::optional<AttemptRow> &last) {
        const QString where = narrowed(
            page, QStringLiteral("(ended IS NULL OR ended >= :since)"), false,
            {!last ? QString()
             : page.batch.isEmpty()
                 ? QStringLiteral("(batch, started, id) > (:lastBatch, :lastStarted, :lastId)")
                 : QStringLiteral("(started, id) > (:lastStarted, :lastId)")});
        SqlStatement query(d->connection.database(), AttemptsSql.arg(where));
        bindSelection(query, page, false);
        if (last && page.batch.isEmpty())
            query.bind(QStringLiteral(":lastBatch"), last->batch);
        if (last)
            query.bind(QStringLiteral(":lastStarted"), storedTime(last->started))
                .bind(QStringLiteral(":lastId"), last->id);
        query.exec();
        return query;
    };
    d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出尝试"),
                      [&] { inPages(ListingPage, pageAfter, attemptRow, each); });
}

void Ledger::labels(const Selection &selection,
                    const std::function<void(const LabelRecord &)> &each) {
    Selection page = selection;
    page.limit = ListingPage;
    const auto pageAfter = [&](const std::optional<LabelRecord> &last) {
        const QString where = narrowed(
            page, QStringLiteral("printed >= :since"), false,
            {!last ? QString()
             : page.batch.isEmpty()
                 ? QStringLiteral("(batch, printed, id) > (:lastBatch, :lastPrinted, :lastId)")
                 : QStringLiteral("(printed, id) > (:lastPrinted, :lastId)")});
        SqlStatement query(d->connection.database(), LabelsSql.arg(where));
        bindSelection(query, page, false);
        if (last && page.batch.isEmpty())
            query.bind(QStringLiteral(":lastBatch"), last->batch);
        if (last)
            query.bind(QStringLiteral(":lastPrinted"), storedTime(last->printed))
                .bind(QStringLiteral(":lastId"), last->id);
        query.exec();
        return query;
    };
    d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出标签"),
                      [&] { inPages(ListingPage, pageAfter, labelRecord, each); });
}

}  // namespace pairwick::ledger
