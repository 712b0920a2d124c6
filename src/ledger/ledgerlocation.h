// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace pairwick::ledger {

// Where the ledger lives, as a URL names it:
//   sqlite:PATH
//   postgresql://[user@]host[:port]/database
//   postgresql:///database?host=/socket/folder
// A password is never part of it; libpq finds one in ~/.pgpass or $PGPASSFILE.
struct LedgerLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString path;  // SQLite file
    QString host;  // a host name, or a socket folder when it starts with '/'
    int port = -1;
    QString user;
    QString database;

    // The URL again, for messages and records.
    QString url() const;
};

// The URL given, else $PAIRWICK_LEDGER, else sqlite: under $XDG_DATA_HOME/pairwick/ledger.sqlite.
QString effectiveLedgerUrl(const QString &given);

// Nothing and an error for a URL that is malformed, names another kind of database, or carries
// a password.
std::optional<LedgerLocation> parseLedgerUrl(const QString &url, QString *error);

}  // namespace pairwick::ledger
