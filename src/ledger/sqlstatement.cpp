// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/sqlstatement.h"

#include <libpq-fe.h>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

#include "ledger/ledger.h"

namespace pairwick::ledger {

namespace {

// libpq's connection under Qt's PostgreSQL driver; none for another database.
PGconn *postgresConnection(const QSqlDatabase &database) {
    if (database.driverName() != QLatin1String("QPSQL"))
        return nullptr;
    const QVariant handle = database.driver()->handle();
    PGconn *connection = nullptr;
    // Qt names the type by the struct behind libpq's typedef, older Qt by the typedef.
    if (handle.isValid() &&
        (qstrcmp(handle.typeName(), "pg_conn*") == 0 || qstrcmp(handle.typeName(), "PGconn*") == 0))
        connection = *static_cast<PGconn *const *>(handle.data());
    if (!connection)
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "与数据库的连接没有打开"));
    return connection;
}

}  // namespace

SqlStatement::SqlStatement(const QSqlDatabase &database, const QString &sql) {
    if (PGconn *connection = postgresConnection(database)) {
        m_postgres = std::make_unique<PostgresStatement>(connection, sql);
        return;
    }
    m_query = QSqlQuery(database);
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        fail(m_query);
}

void SqlStatement::execute(const QSqlDatabase &database, const QString &sql) {
    if (PGconn *connection = postgresConnection(database)) {
        PostgresStatement::execute(connection, sql);
        return;
    }
    QSqlQuery query(database);
    if (!query.exec(sql))
        fail(query);
}

SqlStatement &SqlStatement::bind(const QString &placeholder, const QString &text) {
    const QString stored = text.isNull() ? QStringLiteral("") : text;
    if (m_postgres)
        m_postgres->bind(placeholder, stored);
    else
        m_query.bindValue(placeholder, stored);
    return *this;
}

SqlStatement &SqlStatement::bind(const QString &placeholder, qint64 number) {
    if (m_postgres)
        m_postgres->bind(placeholder, number);
    else
        m_query.bindValue(placeholder, number);
    return *this;
}

SqlStatement &SqlStatement::bindNull(const QString &placeholder) {
    if (m_postgres)
        m_postgres->bindNull(placeholder);
    else
        m_query.bindValue(placeholder, QVariant());
    return *this;
}

SqlStatement &SqlStatement::exec() {
    if (m_postgres)
        m_postgres->exec();
    else if (!m_query.exec())
        fail(m_query);
    return *this;
}

bool SqlStatement::next() {
    return m_postgres ? m_postgres->next() : m_query.next();
}

QString SqlStatement::text(int column) const {
    return m_postgres ? m_postgres->text(column) : m_query.value(column).toString();
}

qint64 SqlStatement::number(int column) const {
    return m_postgres ? m_postgres->number(column) : m_query.value(column).toLongLong();
}

bool SqlStatement::isNull(int column) const {
    return m_postgres ? m_postgres->isNull(column) : m_query.isNull(column);
}

void SqlStatement::finish() {
    if (m_postgres)
        m_postgres->finish();
    else
        m_query.finish();
}

int SqlStatement::rowsAffected() const {
    return m_postgres ? m_postgres->rowsAffected() : m_query.numRowsAffected();
}

void SqlStatement::fail(const QSqlQuery &query) {
    const QSqlError error = query.lastError();
    QString text = error.databaseText().trimmed();
    const QString driverText = error.driverText().trimmed();
    if (text.isEmpty() || (!driverText.isEmpty() && !text.contains(driverText)))
        text = text.isEmpty() ? driverText : driverText + QStringLiteral(": ") + text;
    throw LedgerError(text.isEmpty()
                          ? QCoreApplication::translate("pairwick::ledger", "数据库没有给出原因")
                          : text);
}

}  // namespace pairwick::ledger
