// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-cli station as a fixture runs it all day: real station processes, simulated units that
// a simulated operator takes out and puts in, and the ledger on an SQLite file or on PostgreSQL
// servers of the test's own: over a socket, through a PgBouncer, over TLS, and a primary with a
// synchronous standby that takes over.
#pragma once

#include <QJsonArray>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>

#include "patience.h"
#include "privatepostgres.h"
#include "simulatorprocess.h"
#include "stationprocess.h"

namespace pairwick::station::test {

using Fields = std::map<QString, QString>;

// What the simulated units hold at the end, by address, from the simulator's own log.
std::map<QString, Fields> unitStates(const QByteArray &log);

}  // namespace pairwick::station::test

using pairwick::adaptersim::test::SimulatorProcess;
using pairwick::fakes::PrivatePgBouncer;
using pairwick::fakes::PrivatePostgres;
using pairwick::station::test::Fields;
using pairwick::station::test::Json;
using pairwick::station::test::Station;
using pairwick::station::test::unitStates;

class TestE2eStation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void batchThroughTwoSlots();
    void unitPutInAgainIsNotWrittenAgain();
    void rejectedUnitIsSetAside();
    void failedUnitIsRetriedWithItsValues_data();
    void failedUnitIsRetriedWithItsValues();
    void stationsShareOneBatch_data();
    void stationsShareOneBatch();
    void ledgerOutageLosesNothing();
    void failoverToSynchronousStandbyLosesNothing();
    void ledgerOverTls_data();
    void ledgerOverTls();
    void killedStationsLoseNothing();
    void stationAndAuditorRolesKeepToTheirRights();
    void configFileAndCommandLine();
    void serviceNotificationsAndJournal();
    void slotAlarmRaisedAndCleared();
    void badRulesSendNothing_data();
    void badRulesSendNothing();
    void liveViewStaysInAShortTerminal();
    void emptySlotsSleep_data();
    void emptySlotsSleep();
    void metricsForPrometheus();
    void labelsOfPassesOnceInOrderThroughAnOutage();
    void labelsWaitingSurviveAStopAndAKill();

private:
    SimulatorProcess &startUnits(int ports, const QStringList &switches = {});
    QProcessEnvironment environment() const;
    QString sqliteUrl() const { return QStringLiteral("sqlite:") + m_folder->filePath("l.sqlite"); }
    // A new database on the test's server, reached through the pooler when one is given.
    QString postgresUrl(const PrivatePgBouncer *pooler = nullptr);
    std::unique_ptr<Station> station(const QStringList &arguments);
    // Plays the operator: a unit whose result is shown is taken out and the next put in, until
    // `done` holds or every station has ended.
    void operate(const QList<Station *> &stations, const std::function<bool()> &done,
                 int timeoutMs = 2 * PatienceMs);
    QJsonArray ledger(const QStringList &arguments);
    // pairwick-cli's exit status.
    int cli(const QStringList &arguments);
    struct Audit {
        int units = 0;
        int numbersTwice = 0;
        int gaps = 0;
        int disagreements = 0;  // a passed unit that holds other values than its record
        int lost = 0;           // a pass a station reported that the ledger does not hold
        int open = 0;           // attempts never ended
        int interrupted = 0;    // attempts a stop or a kill cut short
        int recount = 0;  // what `ledger check` finds kept apart from the records; -1: no answer
    };
    Audit audit(const QString &url, const QString &batch, const QList<Json> &reported);
    void expectLedgerMatchesUnits(const QString &url, const QString &batch,
                                  const QList<Json> &reported = {});

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SimulatorProcess> m_units;
    std::unique_ptr<PrivatePostgres> m_postgres;
    int m_databases = 0;
};
