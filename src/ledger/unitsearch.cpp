// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/unitsearch.h"

#include <string>

#include "ledger/ledger.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

// A search that matches at most this many units reads them through the search's indexes and
// sorts them; one that matches more walks the listing's own order and skips what does not match,
// which is then at least one unit in every (batch / this). A page of a ten-million-unit batch
// reads a few hundred thousand index entries at most either way, where either way alone could
// read the whole batch.
constexpr qint64 FewMatches = 10000;

// PostgreSQL's LOWER under the C collation changes only ASCII letters, as SQLite's always does,
// and its result then compares byte by byte, as SQLite's BINARY does.
QString inByteOrder(bool sqlite) {
    return sqlite ? QString() : QStringLiteral(" COLLATE \"C\"");
}

QString asciiLower(QString text) {
    for (QChar &character : text) {
        if (character >= u'A' && character <= u'Z')
            character = QChar(character.unicode() + (u'a' - u'A'));
    }
    return text;
}

// The keys that begin with a text: from <= key < to.
struct KeyRange {
    QString from;
    QString to;
};

// UTF-8 keeps code point order in its bytes, so the first text past every one that begins with
// `prefix` is `prefix` with its last code point one higher (U+10FFFF has none: it is dropped and
// the one before it goes up). A text that is empty or nothing but U+10FFFF gets an empty range.
KeyRange beginningWith(const QString &prefix) {
    std::u32string points = prefix.toStdU32String();
    while (!points.empty() && points.back() == 0x10FFFF)
        points.pop_back();
    if (points.empty())
        return {prefix, prefix};
    char32_t &last = points.back();
    last = last == 0xD7FF ? 0xE000 : last + 1;
    return {prefix, QString::fromStdU32String(points)};
}

// The three ways to match, each a range of an index of its own, put together by `joinedBy` (UNION
// ALL keeps a unit that matches twice twice, but stops as soon as it has enough).
QString matchingUnits(const Selection &selection, bool sqlite, const QString &joinedBy) {
    const QString inBatch =
        selection.batch.isEmpty() ? QString() : QStringLiteral("batch = :batch AND ");
    return QStringLiteral(
               "SELECT batch AS found_batch, seq AS found_seq FROM units WHERE %1seq = :number"
               " %4 SELECT batch, seq FROM units WHERE %1%2 >= :nameFrom AND %2 < :nameTo"
               " %4 SELECT batch, seq FROM units WHERE %1%3 >= :addressFrom AND %3 < :addressTo")
        .arg(inBatch, nameSearchKey(sqlite), addressSearchKey(sqlite), joinedBy);
}

}  // namespace

QString nameSearchKey(bool sqlite) {
    return QStringLiteral("LOWER(name%1)").arg(inByteOrder(sqlite));
}

QString addressSearchKey(bool sqlite) {
    return QStringLiteral("REPLACE(REPLACE(LOWER(address%1), ':', ''), '-', '')")
        .arg(inByteOrder(sqlite));
}

// Few matches are joined to the units in the order written (SQLite keeps a CROSS JOIN's order),
// so that the database cannot choose to walk the batch in the listing's order instead.
UnitSearch unitSearch(const QSqlDatabase &database, bool sqlite, const Selection &selection) {
    SqlStatement count(database,
                       QStringLiteral("SELECT COUNT(*) FROM (%1 LIMIT :enough) AS found")
                           .arg(matchingUnits(selection, sqlite, QStringLiteral("UNION ALL"))));
    if (!selection.batch.isEmpty())
        count.bind(QStringLiteral(":batch"), selection.batch);
    bindSearch(count, selection);
    count.bind(QStringLiteral(":enough"), FewMatches + 1).exec().next();
    if (count.number(0) <= FewMatches)
        return {QStringLiteral("(%1) AS found CROSS JOIN units")
                    .arg(matchingUnits(selection, sqlite, QStringLiteral("UNION"))),
                QStringLiteral("batch = found_batch AND seq = found_seq")};
    return {QStringLiteral("units"),
            QStringLiteral("(seq = :number OR %1 >= :nameFrom AND %1 < :nameTo"
                           " OR %2 >= :addressFrom AND %2 < :addressTo)")
                .arg(nameSearchKey(sqlite), addressSearchKey(sqlite))};
}

void bindSearch(SqlStatement &query, const Selection &selection) {
    bool number = false;
    const qint64 seq = selection.search.toLongLong(&number);
    const QString typed = asciiLower(selection.search);
    const KeyRange name = beginningWith(typed);
    const KeyRange address = beginningWith(QString(typed).remove(u':').remove(u'-'));
    query.bind(QStringLiteral(":number"), number ? seq : qint64(-1))
        .bind(QStringLiteral(":nameFrom"), name.from)
        .bind(QStringLiteral(":nameTo"), name.to)
        .bind(QStringLiteral(":addressFrom"), address.from)
        .bind(QStringLiteral(":addressTo"), address.to);
}

}  // namespace pairwick::ledger
