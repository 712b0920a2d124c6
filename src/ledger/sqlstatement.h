// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

class QSqlDatabase;

namespace pairwick::ledger {

// One prepared statement whose values are all bound, never spliced into its text. Every failure
// throws LedgerError with the driver's own words.
class SqlStatement {
public:
    SqlStatement(const QSqlDatabase &database, const QString &sql);
    // A statement that takes no values (DDL, BEGIN, COMMIT), run unprepared: PostgreSQL prepares
    // nothing but queries and changes of rows.
    static void execute(const QSqlDatabase &database, const QString &sql);

    // A null text is stored as an empty one, so that comparisons in SQL never meet NULL where a
    // text was meant; a NULL is bound as an invalid QVariant.
    SqlStatement &bind(const QString &placeholder, const QString &text);
    SqlStatement &bind(const QString &placeholder, qint64 number);
    SqlStatement &bindNull(const QString &placeholder);
    SqlStatement &exec();

    bool next() { return m_query.next(); }
    QString text(int column) const { return m_query.value(column).toString(); }
    qint64 number(int column) const { return m_query.value(column).toLongLong(); }
    bool isNull(int column) const { return m_query.isNull(column); }
    int rowsAffected() const { return m_query.numRowsAffected(); }
    // Done with the rows: the connection may run the next statement.
    void finish() { m_query.finish(); }

private:
    [[noreturn]] static void fail(const QSqlQuery &query);

    QSqlQuery m_query;
};

}  // namespace pairwick::ledger
