// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger on the servers a line shares: one batch from two stations on SQLite, PostgreSQL and
// a pooler, over TLS checked against its authority, and logins that keep to their roles.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>
#include <QTest>
#include <memory>

#include "tst_e2e_station.h"

void TestE2eStation::stationsShareOneBatch_data() {
    QTest::addColumn<QString>("ledger");
    QTest::newRow("one SQLite file") << "sqlite";
    QTest::newRow("one PostgreSQL server") << "postgresql";
    // The schema is made and every number reserved through pooled sessions.
    QTest::newRow("PgBouncer in transaction mode") << "pgbouncer";
    // Five busy slots a station, on a server that takes eight connections in all: a station
    // holding a connection a slot would be refused.
    QTest::newRow("ten slots, a server of eight connections") << "few connections";
}

void TestE2eStation::stationsShareOneBatch() {
    QFETCH(QString, ledger);
    std::unique_ptr<PrivatePgBouncer> pooler;
    if (ledger == "pgbouncer") {
        pooler = std::make_unique<PrivatePgBouncer>(*m_postgres);
        QVERIFY2(pooler->problem().isEmpty(), qPrintable(pooler->problem()));
    }
    std::unique_ptr<PrivatePostgres> small;
    if (ledger == "few connections") {
        small = std::make_unique<PrivatePostgres>(QStringList{"max_connections=8"});
        QVERIFY2(small->problem().isEmpty(), qPrintable(small->problem()));
    }
    const int slotsEach = small ? 5 : 2;
    startUnits(2 * slotsEach);
    const QString url = ledger == "sqlite" ? sqliteUrl()
                        : small            ? small->createDatabase(QStringLiteral("small"))
                                           : postgresUrl(pooler.get());
    QVERIFY(!url.isEmpty());
    const QStringList rules{"--batch", "shared", "--set",    "name=Node-{seq:3}",
                            "--count", "12",     "--ledger", url};
    QStringList eastSlots{"--station", "east"};
    QStringList westSlots{"--station", "west"};
    for (int slot = 1; slot <= slotsEach; ++slot) {
        eastSlots.append(QStringLiteral("COM%1").arg(slot));
        westSlots.append(QStringLiteral("COM%1").arg(slotsEach + slot));
    }
    auto east = station(eastSlots + rules);
    auto west = station(westSlots + rules);
    operate({east.get(), west.get()}, [] { return false; });
    QCOMPARE(east->finish(), 0);
    QCOMPARE(west->finish(), 0);
    qsizetype passed = 0;
    // Every slot starts with a unit in it, so each gets a number: none is kept waiting for a
    // connection to the ledger.
    QSet<QString> slotsServed;
    for (Station *one : {east.get(), west.get()}) {
        QVERIFY(!one->units().isEmpty());
        for (const Json &unit : one->units()) {
            passed += unit.value("result").toString() == QStringLiteral("passed");
            slotsServed.insert(unit.value("slot").toString());
        }
    }
    QCOMPARE(passed, 12);
    QCOMPARE(slotsServed.size(), 2 * slotsEach);
    expectLedgerMatchesUnits(url, "shared", east->units() + west->units());
    QCOMPARE(this->ledger({"units", "--ledger", url}).size(), passed);
}

void TestE2eStation::ledgerOverTls_data() {
    QTest::addColumn<bool>("serversAuthority");
    QTest::addColumn<bool>("inEnvironment");  // libpq's PGSSLMODE and PGSSLROOTCERT, not the URL
    QTest::newRow("the authority that signed the server") << true << false;
    QTest::newRow("another authority") << false << false;
    QTest::newRow("another authority, in libpq's environment") << false << true;
}

void TestE2eStation::ledgerOverTls() {
    QFETCH(bool, serversAuthority);
    QFETCH(bool, inEnvironment);
    PrivatePostgres server({}, PrivatePostgres::Listening::TlsOnLoopback);
    QVERIFY2(server.problem().isEmpty(), qPrintable(server.problem()));
    const QString authority =
        serversAuthority ? server.authority() : server.makeAuthority(QStringLiteral("stranger"));
    QVERIFY2(!authority.isEmpty() && !server.createDatabase("tls").isEmpty(),
             qPrintable(server.problem()));
    QString url = QStringLiteral("postgresql://postgres@localhost:%1/tls").arg(server.tcpPort());
    QProcessEnvironment settings = environment();
    if (inEnvironment) {
        settings.insert(QStringLiteral("PGSSLMODE"), QStringLiteral("verify-full"));
        settings.insert(QStringLiteral("PGSSLROOTCERT"), authority);
    } else {
        url += QStringLiteral("?sslmode=verify-full&sslrootcert=") + authority;
    }
    startUnits(1);
    auto run = std::make_unique<Station>(
        QStringList{"COM1", "--batch", "tls", "--set", "name=Tls-{seq}", "--count", "2", "--ledger",
                    url, "--station", "bench-6"},
        settings);
    operate({run.get()}, [] { return false; });
    if (!serversAuthority) {
        QCOMPARE(run->finish(), 4);
        QVERIFY2(run->errors().contains("certificate verify failed"), run->errors().constData());
        QVERIFY(!m_units->standardOutput().contains("<- "));
        return;
    }
    QCOMPARE(run->finish(), 0);
    QCOMPARE(run->units().size(), 2);
    expectLedgerMatchesUnits(url, "tls", run->units());
}

void TestE2eStation::stationAndAuditorRolesKeepToTheirRights() {
    startUnits(1);
    const QString owner = postgresUrl();
    const QString database = QStringLiteral("station%1").arg(m_databases);
    const auto as = [&](const char *login) {
        return QString(owner).replace("postgres@", QLatin1String(login) + u'@');
    };
    for (int run = 0; run < 2; ++run)
        QCOMPARE(cli({"ledger", "roles", "--apply", "--ledger", owner}), 0);
    QVERIFY2(m_postgres->sql(database, "postgres",
                             "CREATE ROLE line1 LOGIN IN ROLE pairwick_station;"
                             "CREATE ROLE line2 LOGIN IN ROLE pairwick_station;"
                             "CREATE ROLE audit1 LOGIN IN ROLE pairwick_auditor"),
             qPrintable(m_postgres->problem()));
    QCOMPARE(cli({"ledger", "roles", "--apply", "--ledger", as("line1")}), 4);
    // Its label goes to a folder and is recorded through the schema's function.
    QVERIFY(QDir(m_folder->path()).mkpath("printed"));
    auto line1 = station({"COM1", "--batch", "roles", "--set", "name=Unit-{seq}", "--count", "1",
                          "--on-pass", "true", "--ledger", as("line1"), "--station", "line-1",
                          "--label", QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"),
                          "--printer", "dir:" + m_folder->filePath("printed")});
    operate({line1.get()}, [] { return false; });
    QCOMPARE(line1->finish(), 0);
    expectLedgerMatchesUnits(owner, "roles", line1->units());
    QVERIFY(QFile::exists(m_folder->filePath("printed/roles-1.zpl")));

    const auto refused = [&](const char *login, const QString &statement, const char *why) {
        return !m_postgres->sql(database, QLatin1String(login), statement) &&
               m_postgres->problem().contains(QLatin1String(why));
    };
    QVERIFY(refused("line1", "UPDATE units SET name = 'Other'", "permission denied"));
    QVERIFY(refused("line1", "DELETE FROM attempts", "permission denied"));
    const QString begin = QStringLiteral(
        "SELECT * FROM pairwick_begin_attempt('%1', 'roles', '0A:00:00:00:00:09', 'line-2', "
        "'COM9', '', '2026-12-09T10:00:00.000Z', '2026-12-09T09:50:00.000Z', '{}', 0, 0, '')");
    const QString finish = QStringLiteral(
        "SELECT pairwick_finish_attempt('line-2-attempt', '2026-12-09T10:01:00.000Z', 'passed', "
        "'', '', '', '{}', '', '[]', '[]', '[]')");
    QVERIFY2(m_postgres->sql(database, "line2", begin.arg("line-2-attempt")),
             qPrintable(m_postgres->problem()));
    QVERIFY(refused("line1", finish, "begun by another login"));
    QVERIFY2(m_postgres->sql(database, "line2", finish), qPrintable(m_postgres->problem()));

    QCOMPARE(ledger({"units", "--ledger", as("audit1")}).size(), 2);
    QCOMPARE(cli({"ledger", "check", "--ledger", as("audit1")}), 0);
    QVERIFY(refused("audit1", begin.arg("audit-attempt"), "permission denied"));
    const QJsonArray labels = ledger({"labels", "--ledger", as("audit1")});
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0]["reason"].toString(), QStringLiteral("pass"));
    const QString label = QStringLiteral(
        "SELECT pairwick_record_label('x', 'roles', 1, '', 'dir:x', '2026-12-09T10:00:00.000Z', 1, "
        "'pass', 'sent', 'line-2')");
    QVERIFY(refused("audit1", label, "permission denied"));
    QVERIFY(refused("line1",
                    "INSERT INTO labels (id, batch, seq, template_hash, printer, printed,"
                    " copies, reason, state, station)"
                    " VALUES ('y', 'roles', 1, '', '', '', 1, 'pass', 'sent', '')",
                    "permission denied"));

    // Only the owner brings an older schema up to date.
    QVERIFY(m_postgres->sql(database, "postgres", "UPDATE schema_version SET version = 4"));
    auto stale = station({"COM1", "--batch", "roles", "--ledger", as("line1")});
    QCOMPARE(stale->finish(), 4);
    QVERIFY(stale->errors().contains("only the ledger's owner may bring it to"));
}
