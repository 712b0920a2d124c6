// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace pairwick::ledger {

namespace {

const QString SqliteScheme = QStringLiteral("sqlite:");

QString passwordAdvice() {
    return QCoreApplication::translate("pairwick::ledger",
                                       "台账 URL 不带密码；请把密码放在 ~/.pgpass（或 $PGPASSFILE "
                                       "指明的文件）里，libpq 会在那里找到它");
}

std::optional<LedgerLocation> refuse(const QString &message, QString *error) {
    if (error)
        *error = message;
    return std::nullopt;
}

std::optional<LedgerLocation> parseSqlite(const QString &url, QString *error) {
    LedgerLocation location;
    location.kind = LedgerLocation::Kind::Sqlite;
    location.path = url.mid(SqliteScheme.size());
    if (location.path.isEmpty())
        return refuse(
            QCoreApplication::translate("pairwick::ledger", "“%1”没有指明文件；请写 sqlite:PATH")
                .arg(url),
            error);
    return location;
}

std::optional<LedgerLocation> parsePostgres(const QString &text, QString *error) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return refuse(QCoreApplication::translate("pairwick::ledger", "“%1”不是有效的 URL：%2")
                          .arg(text, url.errorString()),
                      error);
    if (!url.password().isEmpty())
        return refuse(passwordAdvice(), error);
    LedgerLocation location;
    location.kind = LedgerLocation::Kind::Postgres;
    location.user = url.userName();
    location.host = url.host();
    location.port = url.port();
    location.database = url.path().mid(1);
    if (location.database.isEmpty() || location.database.contains(u'/'))
        return refuse(QCoreApplication::translate(
                          "pairwick::ledger",
                          "“%1”没有指明数据库；请写 postgresql://[user@][host][:port]/DATABASE")
                          .arg(text),
                      error);
    const QUrlQuery query(url);
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name == u"password")
            return refuse(passwordAdvice(), error);
        if (name != u"host")
            return refuse(QCoreApplication::translate("pairwick::ledger",
                                                      "“%1”：未知参数“%2”；唯一可用的参数是 host")
                              .arg(text, name),
                          error);
        if (!location.host.isEmpty() || value.isEmpty())
            return refuse(QCoreApplication::translate("pairwick::ledger",
                                                      "“%1”给出了两次 host 或根本没有给出")
                              .arg(text),
                          error);
        location.host = value;
    }
    return location;
}

}  // namespace

QString LedgerLocation::url() const {
    if (kind == Kind::Sqlite)
        return SqliteScheme + path;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    if (!host.startsWith(u'/'))
        url.setHost(host);
    url.setPort(port);
    url.setPath(u'/' + database);
    if (host.startsWith(u'/'))
        url.setQuery(QStringLiteral("host=") + host);
    return url.toString();
}

QString effectiveLedgerUrl(const QString &given) {
    if (!given.isEmpty())
        return given;
    const QString fromEnvironment = qEnvironmentVariable("PAIRWICK_LEDGER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rule: a relative value is to be ignored.
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return SqliteScheme + dataHome + QStringLiteral("/pairwick/ledger.sqlite");
}

std::optional<LedgerLocation> parseLedgerUrl(const QString &url, QString *error) {
    if (url.startsWith(SqliteScheme))
        return parseSqlite(url, error);
    if (url.startsWith(QStringLiteral("postgresql://")) ||
        url.startsWith(QStringLiteral("postgres://")))
        return parsePostgres(url, error);
    return refuse(
        QCoreApplication::translate(
            "pairwick::ledger",
            "“%1”不是台账 URL；请写 sqlite:PATH 或 postgresql://[user@][host][:port]/DATABASE")
            .arg(url),
        error);
}

}  // namespace pairwick::ledger
