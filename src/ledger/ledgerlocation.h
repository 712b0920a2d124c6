// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace pairwick::ledger {

// Where the ledger lives, as a URL names it:
//   sqlite:PATH
//   postgresql://[user@]host[:port][,host[:port]...]/database[?parameter=value&...]
//   postgresql:///database?host=/socket/folder
// The parameters are libpq's own (sslmode, target_session_attrs ...) and go to it unchanged.
// A password is never part of it; libpq finds one in ~/.pgpass or $PGPASSFILE.
struct LedgerLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString path;  // SQLite file
    // Host names or socket folders (those start with '/'), comma-separated as libpq takes them.
    QString host;
    // One port for every host or one for each, comma-separated; empty for libpq's default.
    QString port;
    QString user;
    QString database;
    // libpq's parameters other than host and port, in the URL's order.
    QList<std::pair<QString, QString>> parameters;
    // Not part of the URL: the name the server shows for the connection when neither the URL
    // nor $PGAPPNAME gives one.
    QString fallbackApplicationName;

    // The URL again, for messages and records.
    QString url() const;
    bool operator==(const LedgerLocation &) const = default;
};

// The URL given, else $PAIRWICK_LEDGER, else sqlite: under $XDG_DATA_HOME/pairwick/ledger.sqlite.
QString effectiveLedgerUrl(const QString &given);

// Nothing and an error for a URL that is malformed, names another kind of database, carries a
// password, or a parameter libpq is not given from here.
std::optional<LedgerLocation> parseLedgerUrl(const QString &url, QString *error);

}  // namespace pairwick::ledger
