// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/sqlstatement.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>

#include "ledger/ledger.h"

namespace pairwick::ledger {

SqlStatement::SqlStatement(const QSqlDatabase &database, const QString &sql) : m_query(database) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        fail(m_query);
}

void SqlStatement::execute(const QSqlDatabase &database, const QString &sql) {
    QSqlQuery query(database);
    if (!query.exec(sql))
        fail(query);
}

SqlStatement &SqlStatement::bind(const QString &placeholder, const QString &text) {
    m_query.bindValue(placeholder, text.isNull() ? QStringLiteral("") : text);
    return *this;
}

SqlStatement &SqlStatement::bind(const QString &placeholder, qint64 number) {
    m_query.bindValue(placeholder, number);
    return *this;
}

SqlStatement &SqlStatement::bindNull(const QString &placeholder) {
    m_query.bindValue(placeholder, QVariant());
    return *this;
}

SqlStatement &SqlStatement::exec() {
    if (!m_query.exec())
        fail(m_query);
    return *this;
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
