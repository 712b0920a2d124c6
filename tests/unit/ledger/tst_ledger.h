// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger against real databases: an SQLite file and a PostgreSQL server of the test's own.
#pragma once
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTranslator>
#include <memory>

#include "ledger/ledger.h"
#include "privatepostgres.h"

// What every group of the test starts its records from and reads them back with.
namespace pairwick::ledger::testing {

inline const QDateTime Morning(QDate(2026, 12, 8), QTime(10, 15, 3, 215), Qt::UTC);

AttemptStart startAt(const QString &address, const QString &station, const QString &slot,
                     const QDateTime &when);
AttemptEnd endOf(const AttemptStart &start, AttemptResult result, qint64 afterMs = 5000);
Ledger::ValuesFor valuesNamed(int *calls);
Selection inBatch(const QString &batch, const QDateTime &since = {});
QList<UnitRow> unitsOf(Ledger &ledger, const Selection &selection = {});
QList<AttemptRow> attemptsOf(Ledger &ledger, const Selection &selection = {});
QStringList disagreementsOf(Ledger &ledger);
// The yield by slot, its total and its failures, one line each.
QStringList yieldOf(Ledger &ledger);
// Everything the reports say, one line each, to compare a ledger before and after a change.
QStringList reportsOf(Ledger &ledger);

}  // namespace pairwick::ledger::testing

class TestLedger : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void parsesUrls_data();
    void parsesUrls();
    void defaultUrlFollowsTheEnvironment();
    void sqliteFileIsTheUsersAlone();
    void refusesANewerSchema_data();
    void refusesANewerSchema();
    void joinsOneBatchFromManyStations_data();
    void joinsOneBatchFromManyStations();
    void migratesStoredWordsToCodes_data();
    void migratesStoredWordsToCodes();
    void rejectsAUnitAtTheBatchsLimit_data();
    void rejectsAUnitAtTheBatchsLimit();
    void reservesAttemptsAndCounts_data();
    void reservesAttemptsAndCounts();
    void threadsNeverShareANumber_data();
    void threadsNeverShareANumber();
    void reopensAfterAnOutage();
    void neutralisesCsvCells_data();
    void neutralisesCsvCells();
    void cliListsALedger();
    void cliAnswersALargeLedger();

private:
    void backends();
    QString freshUrl(const QString &backend);
    QSqlDatabase rawDatabase(const QString &url);
    void execRaw(const QString &url, const QString &sql);
    void undoYieldRollups(const QString &url, const QString &backend);

    QTemporaryDir m_folder;
    std::unique_ptr<pairwick::fakes::PrivatePostgres> m_postgres;
    int m_databases = 0;
    // The ledger's words as the command line and its records give them.
    std::unique_ptr<QTranslator> m_english;
};
