// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

#include "ledger/postgresstatement.h"

class QSqlDatabase;

namespace pairwick::ledger {

// One statement whose values are all bound, never spliced into its text. On SQLite it is Qt's
// prepared query; on PostgreSQL it goes through libpq on the connection Qt opened (see
// PostgresStatement for why). Every failure throws LedgerError with the database's own words.
class SqlStatement {
public:
    SqlStatement(const QSqlDatabase &database, const QString &sql);
    // A statement that takes no values (DDL, BEGIN, COMMIT), run unprepared.
    static void execute(const QSqlDatabase &database, const QString &sql);

    // A null text is stored as an empty one, so that comparisons in SQL never meet NULL where a
    // text was meant; a NULL is bound as an invalid QVariant.
    SqlStatement &bind(const QString &placeholder, const QString &text);
    SqlStatement &bind(const QString &placeholder, qint64 number);
    SqlStatement &bindNull(const QString &placeholder);
    SqlStatement &exec();

    bool next();
    QString text(int column) const;
    qint64 number(int column) const;
    bool isNull(int column) const;
    int rowsAffected() const;
    // Done with the rows: the connection may run the next statement.
    void finish();

private:
    [[noreturn]] static void fail(const QSqlQuery &query);

    std::unique_ptr<PostgresStatement> m_postgres;
    QSqlQuery m_query;
};

}  // namespace pairwick::ledger
