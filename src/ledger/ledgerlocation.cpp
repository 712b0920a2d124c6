// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

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
        return passwordAdvice();
    if (name == HostParameter || name == PortParameter) {
        QString &field = name == HostParameter ? location.host : location.port;
        if (!field.isEmpty() || value.isEmpty())
            return QCoreApplication::translate("pairwick::ledger", "给出了两次 %1 或根本没有给出")
                .arg(name);
        if (name == PortParameter && !isPortList(value))
            return QCoreApplication::translate("pairwick::ledger", "port=%1 不是端口号").arg(value);
        field = value;
        return std::nullopt;
    }
    if (!PassedOn.contains(name))
        return QCoreApplication::translate("pairwick::ledger", "未知参数“%1”；可用的参数是 %2")
            .arg(name, (QStringList{HostParameter, PortParameter} + PassedOn).join(u' '));
    if (value.isEmpty())
        return QCoreApplication::translate("pairwick::ledger", "%1 没有值").arg(name);
    // Qt's driver turns every ';' of its connection options into a space.
    if (value.contains(u';'))
        return QCoreApplication::translate("pairwick::ledger", "%1 中的“;”无法传给 libpq")
            .arg(name);
    for (const auto &taken : std::as_const(location.parameters)) {
        if (taken.first == name)
            return QCoreApplication::translate("pairwick::ledger", "给出了两次 %1").arg(name);
    }
    location.parameters.append({name, value});
    return std::nullopt;
}

std::optional<LedgerLocation> parsePostgres(const QString &text, QString *error) {
    const QString usage = QCoreApplication::translate(
        "pairwick::ledger",
        "请写 postgresql://[user@][host][:port][,host[:port]...]/DATABASE[?parameter=value&...]");
    static const QRegularExpression blank(QStringLiteral("[\\s\\x00-\\x1f]"));
    if (text.contains(blank))
        return refuse(
            QCoreApplication::translate("pairwick::ledger", "“%1”不是有效的 URL：其中有空白")
                .arg(text),
            error);
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
            return refuse(passwordAdvice(), error);
        location.user = decoded(userInfo);
        hostList = hostList.mid(at + 1);
    }
    if (!hostList.isEmpty() && !splitHosts(hostList, location))
        return refuse(QCoreApplication::translate("pairwick::ledger", "“%1”：无法读出主机“%2”；%3")
                          .arg(text, hostList, usage),
                      error);
    location.database = slash < 0 ? QString() : decoded(rest.mid(slash + 1));
    if (location.database.isEmpty() || location.database.contains(u'/'))
        return refuse(QCoreApplication::translate("pairwick::ledger", "“%1”没有指明数据库；%2")
                          .arg(text, usage),
                      error);
    for (const QString &item : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        const QString name = decoded(equals < 0 ? item : item.left(equals));
        const QString value = equals < 0 ? QString() : decoded(item.mid(equals + 1));
        if (const std::optional<QString> refusal = takeParameter(name, value, location))
            return refuse(*refusal == passwordAdvice()
                              ? *refusal
                              : QCoreApplication::translate("pairwick::ledger", "“%1”：%2")
                                    .arg(text, *refusal),
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
    return refuse(
        QCoreApplication::translate("pairwick::ledger",
                                    "“%1”不是台账 URL；请写 sqlite:PATH 或 "
                                    "postgresql://[user@][host][:port][,...]/DATABASE[?...]")
            .arg(url),
        error);
}

}  // namespace pairwick::ledger
