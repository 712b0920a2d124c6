// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlocation.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

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

// libpq's parameters that a URL may give besides host and port; the rest of libpq's are the
// environment's or the server's business.
const QStringList PassedOn{
    QStringLiteral("sslmode"),
    QStringLiteral("sslrootcert"),
    QStringLiteral("sslcert"),
    QStringLiteral("sslkey"),
    QStringLiteral("connect_timeout"),
    QStringLiteral("application_name"),
    QStringLiteral("target_session_attrs"),
};

const QString HostParameter = QStringLiteral("host");
const QString PortParameter = QStringLiteral("port");

QString decoded(const QString &text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

QString encoded(const QString &text, const QByteArray &keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

bool isPortList(const QString &text) {
    for (const QString &port : text.split(u',')) {
        bool number = false;
        const int value = port.toInt(&number);
        if (!port.isEmpty() && (!number || value < 1 || value > 65535))
            return false;
    }
    return true;
}

// "db1:5432,[::1]:5433,db3" into libpq's host and port lists; false for anything else.
bool splitHosts(const QString &list, LedgerLocation &location) {
    QStringList hosts;
    QStringList ports;
    for (const QString &entry : list.split(u',')) {
        QString host = entry;
        QString port;
        if (entry.startsWith(u'[')) {
            const qsizetype close = entry.indexOf(u']');
            const QString after = entry.mid(close + 1);
            if (close < 0 || (!after.isEmpty() && !after.startsWith(u':')))
                return false;
            host = entry.mid(1, close - 1);
            port = after.mid(1);
        } else if (const qsizetype colon = entry.lastIndexOf(u':'); colon >= 0) {
            host = entry.left(colon);
            port = entry.mid(colon + 1);
        }
        host = decoded(host);
        if (host.isEmpty() || !isPortList(port))
            return false;
        hosts.append(host);
        ports.append(port);
    }
    location.host = hosts.join(u',');
    if (ports.join(QString()).isEmpty())
        ports.clear();
    location.port = ports.join(u',');
    return true;
}

// One name=value of the URL's query; nothing, or why it is refused.
std::optional<QString> takeParameter(const QString &name, const QString &value,
                                     LedgerLocation &location) {
    if (name == u"password")
        return PasswordAdvice;
    if (name == HostParameter || name == PortParameter) {
        QString &field = name == HostParameter ? location.host : location.port;
        if (!field.isEmpty() || value.isEmpty())
            return QStringLiteral("names its %1 twice or not at all").arg(name);
        if (name == PortParameter && !isPortList(value))
            return QStringLiteral("port=%1 is no port number").arg(value);
        field = value;
        return std::nullopt;
    }
    if (!PassedOn.contains(name))
        return QStringLiteral("unknown parameter '%1'; those taken are %2")
            .arg(name, (QStringList{HostParameter, PortParameter} + PassedOn).join(u' '));
    if (value.isEmpty())
        return QStringLiteral("%1 has no value").arg(name);
    // Qt's driver turns every ';' of its connection options into a space.
    if (value.contains(u';'))
        return QStringLiteral("the ';' in %1 cannot be passed on to libpq").arg(name);
    for (const auto &taken : std::as_const(location.parameters)) {
        if (taken.first == name)
            return QStringLiteral("gives %1 twice").arg(name);
    }
    location.parameters.append({name, value});
    return std::nullopt;
}

std::optional<LedgerLocation> parsePostgres(const QString &text, QString *error) {
    const QString usage = QStringLiteral(
        "write postgresql://[user@][host][:port][,host[:port]...]"
        "/DATABASE[?parameter=value&...]");
    static const QRegularExpression blank(QStringLiteral("[\\s\\x00-\\x1f]"));
    if (text.contains(blank))
        return refuse(QStringLiteral("'%1' is not a valid URL: it holds a blank").arg(text), error);
    QString rest = text.mid(text.indexOf(QStringLiteral("://")) + 3);
    QString query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    const qsizetype slash = rest.indexOf(u'/');
    QString hostList = slash < 0 ? rest : rest.left(slash);
    LedgerLocation location;
    location.kind = LedgerLocation::Kind::Postgres;
    if (const qsizetype at = hostList.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = hostList.left(at);
        if (userInfo.contains(u':'))
            return refuse(PasswordAdvice, error);
        location.user = decoded(userInfo);
        hostList = hostList.mid(at + 1);
    }
    if (!hostList.isEmpty() && !splitHosts(hostList, location))
        return refuse(
            QStringLiteral("'%1': cannot read the hosts '%2'; %3").arg(text, hostList, usage),
            error);
    location.database = slash < 0 ? QString() : decoded(rest.mid(slash + 1));
    if (location.database.isEmpty() || location.database.contains(u'/'))
        return refuse(QStringLiteral("'%1' names no database; %2").arg(text, usage), error);
    for (const QString &item : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        const QString name = decoded(equals < 0 ? item : item.left(equals));
        const QString value = equals < 0 ? QString() : decoded(item.mid(equals + 1));
        if (const std::optional<QString> refusal = takeParameter(name, value, location))
            return refuse(*refusal == PasswordAdvice
                              ? PasswordAdvice
                              : QStringLiteral("'%1': %2").arg(text, *refusal),
                          error);
    }
    return location;
}

}  // namespace

QString LedgerLocation::url() const {
    if (kind == Kind::Sqlite)
        return SqliteScheme + path;
    const QStringList hosts = host.isEmpty() ? QStringList() : host.split(u',');
    const QStringList ports = port.isEmpty() ? QStringList() : port.split(u',');
    bool inAuthority = ports.isEmpty() || ports.size() == hosts.size();
    for (const QString &one : hosts)
        inAuthority = inAuthority && !one.startsWith(u'/');
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += encoded(user) + u'@';
    QStringList query;
    if (inAuthority) {
        QStringList entries;
        for (qsizetype index = 0; index < hosts.size(); ++index) {
            const QString &one = hosts[index];
            QString entry = one.contains(u':') ? u'[' + one + u']' : encoded(one);
            if (!ports.isEmpty() && !ports[index].isEmpty())
                entry += u':' + ports[index];
            entries.append(entry);
        }
        text += entries.join(u',');
    } else {
        query.append(HostParameter + u'=' + encoded(host, "/,"));
        if (!port.isEmpty())
            query.append(PortParameter + u'=' + encoded(port, ","));
    }
    text += u'/' + encoded(database);
    for (const auto &[name, value] : parameters)
        query.append(name + u'=' + encoded(value, "/,:"));
    if (!query.isEmpty())
        text += u'?' + query.join(u'&');
    return text;
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
                                 "postgresql://[user@][host][:port][,...]/DATABASE[?...]")
                      .arg(url),
                  error);
}

}  // namespace pairwick::ledger
