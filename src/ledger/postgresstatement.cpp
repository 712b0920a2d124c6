// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/postgresstatement.h"

#include <libpq-fe.h>
#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "ledger/ledger.h"

namespace pairwick::ledger {

namespace {

// The statement whose rows are still coming on each connection of this thread (a connection
// belongs to one thread). libpq reads one statement's results at a time, so a new statement ends
// the reading of the one before, as Qt's driver does.
thread_local std::unordered_map<PGconn *, PostgresStatement *> readingOn;

// PostgreSQL's type number of bigint (pg_type.h is not part of the client's headers).
constexpr Oid BigintType = 20;

bool startsName(QChar c) {
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The end of a quoted literal or identifier that starts at from, its doubled quotes included.
qsizetype endOfQuoted(const QString &sql, qsizetype from) {
    const QChar quote = sql[from];
    qsizetype at = from + 1;
    while (at < sql.size()) {
        if (sql[at] == quote && (at + 1 >= sql.size() || sql[at + 1] != quote))
            return at + 1;
        at += sql[at] == quote ? 2 : 1;
    }
    return at;
}

QString reasonOf(const PGresult *result, const PGconn *connection) {
    QString reason = QString::fromUtf8(result ? PQresultErrorMessage(result) : "").trimmed();
    if (reason.isEmpty())
        reason = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
    return reason.isEmpty() ? QCoreApplication::translate("pairwick::ledger", "数据库没有给出原因")
                            : reason;
}

}  // namespace

void PostgresStatement::ResultFree::operator()(PGresult *result) const {
    PQclear(result);
}

PostgresStatement::PostgresStatement(PGconn *connection, const QString &sql)
    : m_connection(connection) {
    QString numbered;
    qsizetype at = 0;
    while (at < sql.size()) {
        const QChar c = sql[at];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = endOfQuoted(sql, at);
            numbered += sql.mid(at, end - at);
            at = end;
        } else if (c == u':' && at + 1 < sql.size() && sql[at + 1] == u':') {
            numbered += QStringLiteral("::");  // a cast
            at += 2;
        } else if (c == u':' && at + 1 < sql.size() && startsName(sql[at + 1])) {
            qsizetype end = at + 1;
            while (end < sql.size() && continuesName(sql[end]))
                ++end;
            const QString name = sql.mid(at, end - at);
            auto found = std::find(m_names.begin(), m_names.end(), name);
            if (found == m_names.end())
                found = m_names.insert(m_names.end(), name);
            numbered += u'$' + QString::number(found - m_names.begin() + 1);
            at = end;
        } else {
            numbered += c;
            ++at;
        }
    }
    m_sql = numbered.toUtf8();
    m_values.resize(m_names.size());
}

PostgresStatement::~PostgresStatement() {
    discardRest();
}

void PostgresStatement::execute(PGconn *connection, const QString &sql) {
    if (const auto reading = readingOn.find(connection); reading != readingOn.end())
        reading->second->discardRest();
    const Result result{PQexec(connection, sql.toUtf8().constData())};
    const ExecStatusType status = PQresultStatus(result.get());
    if (!result || (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK))
        throw LedgerError(reasonOf(result.get(), connection));
}

PostgresStatement::Value &PostgresStatement::valueOf(const QString &placeholder) {
    const auto found = std::find(m_names.begin(), m_names.end(), placeholder);
    if (found == m_names.end())
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "语句中没有值 %1").arg(placeholder));
    return m_values[std::size_t(found - m_names.begin())];
}

void PostgresStatement::bind(const QString &placeholder, const QString &text) {
    valueOf(placeholder) = Value{text.toUtf8(), 0};
}

void PostgresStatement::bind(const QString &placeholder, qint64 number) {
    valueOf(placeholder) = Value{QByteArray::number(number), BigintType};
}

void PostgresStatement::bindNull(const QString &placeholder) {
    valueOf(placeholder) = Value{std::nullopt, 0};
}

void PostgresStatement::exec() {
    discardRest();
    if (const auto reading = readingOn.find(m_connection); reading != readingOn.end())
        reading->second->discardRest();
    m_row.reset();
    m_rowWaiting = false;
    m_rowsAffected = 0;
    std::vector<const char *> values;
    std::vector<Oid> types;
    for (const Value &value : m_values) {
        values.push_back(value.bytes ? value.bytes->constData() : nullptr);
        types.push_back(value.type);
    }
    if (!PQsendQueryParams(m_connection, m_sql.constData(), int(values.size()), types.data(),
                           values.data(), nullptr, nullptr, 0))
        fail(reasonOf(nullptr, m_connection));
    m_pending = true;
    readingOn[m_connection] = this;
    PQsetSingleRowMode(m_connection);
    m_rowWaiting = fetch();
}

bool PostgresStatement::next() {
    if (m_rowWaiting) {
        m_rowWaiting = false;
        return true;
    }
    if (!m_pending) {
        m_row.reset();
        return false;
    }
    return fetch();
}

bool PostgresStatement::fetch() {
    m_row.reset();
    while (Result result{PQgetResult(m_connection)}) {
        switch (PQresultStatus(result.get())) {
            case PGRES_SINGLE_TUPLE:
                m_row = std::move(result);
                return true;
            case PGRES_TUPLES_OK:
            case PGRES_COMMAND_OK:
                m_rowsAffected = std::atoi(PQcmdTuples(result.get()));
                break;
            default:
                fail(reasonOf(result.get(), m_connection));
        }
    }
    m_pending = false;
    readingOn.erase(m_connection);
    return false;
}

void PostgresStatement::finish() {
    m_rowWaiting = false;
    while (m_pending && fetch()) {
    }
}

void PostgresStatement::discardRest() {
    if (!m_pending)
        return;
    while (const Result rest{PQgetResult(m_connection)}) {
    }
    m_pending = false;
    readingOn.erase(m_connection);
}

void PostgresStatement::fail(const QString &reason) {
    discardRest();
    throw LedgerError(reason);
}

QString PostgresStatement::text(int column) const {
    if (!m_row || column >= PQnfields(m_row.get()))
        return {};
    return QString::fromUtf8(PQgetvalue(m_row.get(), 0, column),
                             PQgetlength(m_row.get(), 0, column));
}

qint64 PostgresStatement::number(int column) const {
    return text(column).toLongLong();
}

bool PostgresStatement::isNull(int column) const {
    return !m_row || column >= PQnfields(m_row.get()) || PQgetisnull(m_row.get(), 0, column);
}

}  // namespace pairwick::ledger
