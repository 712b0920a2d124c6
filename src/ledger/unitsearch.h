// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlDatabase;

namespace pairwick::ledger {

class SqlStatement;
struct Selection;

// A unit matches a search by its number, or by a name or an address that begins with the text
// typed: ASCII letters alike in either case, an address alike with or without its ':' and '-'.
// The keys compare in the order of their bytes on both databases, so the units whose key begins
// with a text are one range of an index, whatever the server's own collation.

// A key in SQL, spelled the same by the index and by the search: the database uses an index on
// an expression only for that very expression.
QString nameSearchKey(bool sqlite);
QString addressSearchKey(bool sqlite);

// How a listing of units reads the ones that match: `from` takes the place of its table, and
// `condition` joins its WHERE clause.
struct UnitSearch {
    QString from;
    QString condition;
};
// Counts the matches (up to a bound) to choose how the listing finds them.
UnitSearch unitSearch(const QSqlDatabase &database, bool sqlite, const Selection &selection);
// Binds the values of the selection's search (not its batch) in a statement made with the above.
void bindSearch(SqlStatement &query, const Selection &selection);

}  // namespace pairwick::ledger
