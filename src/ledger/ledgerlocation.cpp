// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace pairwick::ledger {

namespace {

const QString SqliteScheme = QStringLiteral("sqlite:");

const QString PasswordAdvice = QStringLiteral(
    "a ledger URL carries no password; put it in ~/.pgpass (or the file $PGPASSFILE names), "
    "where libpq finds it");

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
        return refuse(QStringLiteral("'%1' names no file; write sqlite:PATH").arg(url), error);
    return location;
}

std::optional<LedgerLocation> parsePostgres(const QString &text, QString *error) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return refuse(QStringLiteral("'%1' is not a valid URL: %2").arg(text, url.errorString()),
                      error);
    if (!url.password().isEmpty())
        return refuse(PasswordAdvice, error);
    LedgerLocation location;
    location.kind = LedgerLocation::Kind::Postgres;
    location.user = url.userName();
    location.host = url.host();
    location.port = url.port();
    location.database = url.path().mid(1);
    if (location.database.isEmpty() || location.database.contains(u'/'))
        return refuse(QStringLiteral("'%1' names no database; write "
                                     "postgresql://[user@][host][:port]/DATABASE")
                          .arg(text),
                      error);
    const QUrlQuery query(url);
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name == u"password")
            return refuse(PasswordAdvice, error);
        if (name != u"host")
            return refuse(QStringLiteral("'%1': unknown parameter '%2'; the only one is host")
                              .arg(text, name),
                          error);
        if (!location.host.isEmpty() || value.isEmpty())
            return refuse(QStringLiteral("'%1' names its host twice or not at all").arg(text),
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
    return refuse(QStringLiteral("'%1' is no ledger URL; write sqlite:PATH or "
                                 "postgresql://[user@][host][:port]/DATABASE")
                      .arg(url),
                  error);
}

}  // namespace pairwick::ledger
