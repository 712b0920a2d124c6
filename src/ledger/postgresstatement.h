// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace pairwick::ledger {

// One statement on a PostgreSQL connection through libpq itself: its text goes with its values
// in one message (an unnamed statement of the extended protocol), so each statement costs one
// round trip and leaves nothing behind in the server's session, which a pooler in transaction
// mode may hand to another client next. Rows come one at a time, so a long listing is never
// held whole. Every failure throws LedgerError with the server's own words.
class PostgresStatement {
public:
    // sql names its values :name, as Qt SQL does; they become $1, $2 ... in order of first use.
    PostgresStatement(pg_conn *connection, const QString &sql);
    ~PostgresStatement();
    PostgresStatement(const PostgresStatement &) = delete;
    PostgresStatement &operator=(const PostgresStatement &) = delete;

    // A statement that takes no values and whose rows, if any, do not matter.
    static void execute(pg_conn *connection, const QString &sql);

    // A text goes as an untyped literal and a number as a bigint, as Qt's driver wrote them.
    void bind(const QString &placeholder, const QString &text);
    void bind(const QString &placeholder, qint64 number);
    void bindNull(const QString &placeholder);
    void exec();

    bool next();
    QString text(int column) const;
    qint64 number(int column) const;
    bool isNull(int column) const;
    int rowsAffected() const { return m_rowsAffected; }
    // Done with the rows: the connection may run the next statement. The rest is read, not
    // dropped, because a statement that returns a row can still fail after it: a commit that
    // did not happen, a connection lost with it.
    void finish();

private:
    struct Value {
        std::optional<QByteArray> bytes;
        unsigned int type = 0;
    };
    struct ResultFree {
        void operator()(pg_result *result) const;
    };
    using Result = std::unique_ptr<pg_result, ResultFree>;

    Value &valueOf(const QString &placeholder);
    // Reads the next of the statement's results; false once there is none.
    bool fetch();
    void discardRest();
    [[noreturn]] void fail(const QString &reason);

    pg_conn *m_connection;
    QByteArray m_sql;
    std::vector<QString> m_names;
    std::vector<Value> m_values;
    Result m_row;
    bool m_pending = false;  // results not yet read
    bool m_rowWaiting = false;
    int m_rowsAffected = 0;
};

}  // namespace pairwick::ledger
