// SPDX-License-Identifier: GPL-3.0-or-later
// Ledgers an older or newer pairwick left: what is refused, and what is carried forward.
#include <QHash>
#include <QSqlQuery>
#include <QTest>

#include "ledger/schema.h"
#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using namespace pairwick::ledger::testing;

void TestLedger::refusesANewerSchema_data() {
    backends();
}

void TestLedger::refusesANewerSchema() {
    QFETCH(QString, backend);
    const QString url = freshUrl(backend);
    QString error;
    const LedgerLocation location = *parseLedgerUrl(url, &error);
    { Ledger created(location, QStringLiteral("schema")); }
    execRaw(url, QStringLiteral("UPDATE schema_version SET version = %1").arg(SchemaVersion + 1));
    try {
        Ledger newer(location, QStringLiteral("schema"));
        QFAIL("a newer schema was accepted");
    } catch (const LedgerError &refused) {
        QCOMPARE(refused.message(), QStringLiteral("the ledger at %1 has schema version %2; this "
                                                   "pairwick knows up to %3")
                                        .arg(url)
                                        .arg(SchemaVersion + 1)
                                        .arg(SchemaVersion));
    }
}

void TestLedger::migratesStoredWordsToCodes_data() {
    backends();
}

// Records of an earlier version, written by the Chinese window and by the English command line:
// the same failure in either language becomes the same codes, and words the migration cannot
// place are kept whole as the detail of "other".
void TestLedger::migratesStoredWordsToCodes() {
    QFETCH(QString, backend);
    struct Stored {
        const char *step;
        const char *error;
        const char *codes;  // step|error|detail
    };
    const QList<Stored> table{
        {"写入 pin=1234", "写入 pin=1234: 适配器回复 \"AT+PIN=1234\\r\\nERROR\\r\\n\"",
         "write:pin|error-reply|\"AT+PIN=1234\\r\\nERROR\\r\\n\""},
        {"write pin=1234", "write pin=1234: the adapter answered \"AT+PIN=1234\\r\\nERROR\\r\\n\"",
         "write:pin|error-reply|\"AT+PIN=1234\\r\\nERROR\\r\\n\""},
        {"读取 name", "读取 name: 1000 毫秒内没有回复", "read:name|no-reply|1000"},
        {"read name", "read name: no reply within 1000 ms", "read:name|no-reply|1000"},
        {"读取波特率、校验位、停止位", "读取波特率、校验位、停止位: 回复不完整：\"AT+UART?\"",
         "read:uart|incomplete-reply|\"AT+UART?\""},
        {"read baud, parity, stop", "read baud, parity, stop: incomplete reply \"AT+UART?\"",
         "read:uart|incomplete-reply|\"AT+UART?\""},
        {"校验 name", "校验 name: 写入 \"A\"，读回 \"B\"",
         "verify:name|read-back-differs|\"A\" -> \"B\""},
        {"verify name", "verify name: written \"A\", read back \"B\"",
         "verify:name|read-back-differs|\"A\" -> \"B\""},
        {"写入 bind=1A2B:3C:4D5E6F", "停止前“写入 bind=1A2B:3C:4D5E6F”没有得到回复",
         "write:bind|stopped-awaiting-reply|"},
        {"write bind=1A2B:3C:4D5E6F", "no reply to write bind=1A2B:3C:4D5E6F before the stop",
         "write:bind|stopped-awaiting-reply|"},
        {"读取 pin", "在“读取 pin”之前停止", "read:pin|stopped|"},
        {"read pin", "stopped before read pin", "read:pin|stopped|"},
        {"读取", "读取: 串口设备 /dev/ttyUSB0 已断开或停止响应。 No such device",
         "read|port-gone|No such device"},
        {"read",
         "read: The serial device /dev/ttyUSB0 was disconnected or stopped responding. "
         "No such device",
         "read|port-gone|No such device"},
        {"模块的值", "模块的值: name 超过 20 个字符", "values|values-problem|name 超过 20 个字符"},
        {"values", "values: name is longer than 20",
         "values|values-problem|name is longer than 20"},
        {"read name", "read name: something new", "read:name|other|read name: something new"},
        {"polish", "polish: it shone", "other|other|polish: it shone"},
        {"", "", "||"},
    };
    const QString url = freshUrl(backend);
    QStringList ids;
    {
        Ledger ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("old"));
        ledger.joinBatch(QStringLiteral("B1"), {}, 1, nullptr);
        int calls = 0;
        for (qsizetype row = 0; row < table.size(); ++row) {
            const AttemptStart start =
                startAt(QStringLiteral("0A:00:00:00:00:%1").arg(row, 2, 10, QLatin1Char('0')),
                        QStringLiteral("s1"), QStringLiteral("1"), Morning.addSecs(row));
            ledger.beginAttempt(start, false, 0, valuesNamed(&calls));
            ledger.finishAttempt(endOf(start, AttemptResult::Failed));
            ids.append(start.id);
        }
    }
    for (qsizetype row = 0; row < table.size(); ++row)
        execRaw(url, QStringLiteral("UPDATE attempts SET step = '%1', error = '%2' WHERE id = '%3'")
                         .arg(QString::fromUtf8(table[row].step),
                              QString::fromUtf8(table[row].error), ids[row]));
    undoYieldRollups(url, backend);
    for (const char *statement :
         {"DROP TABLE labels", "ALTER TABLE attempts DROP COLUMN detail",
          "ALTER TABLE attempts DROP COLUMN operator_name",
          "ALTER TABLE batches DROP COLUMN max_attempts",
          "ALTER TABLE batches DROP COLUMN rejected", "UPDATE schema_version SET version = 5"})
        execRaw(url, QLatin1String(statement));
    // A server that kept the version-5 functions, which the stations' role could call: they go,
    // or their names would be ambiguous, and the role may call their successors.
    if (backend == u"postgresql")
        for (const char *old :
             {"DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'pairwick_station')"
              " THEN CREATE ROLE pairwick_station NOLOGIN; END IF; END $$",
              "CREATE FUNCTION pairwick_begin_attempt(TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, "
              "TEXT, TEXT, BIGINT, BIGINT) RETURNS void LANGUAGE sql AS ''",
              "CREATE FUNCTION pairwick_finish_attempt(TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, "
              "TEXT, TEXT, TEXT) RETURNS void LANGUAGE sql AS ''"})
            execRaw(url, QLatin1String(old));
    Ledger migrated(*parseLedgerUrl(url, nullptr), QStringLiteral("migrated"));
    QHash<QString, QString> codes;
    for (const AttemptRow &attempt : attemptsOf(migrated))
        codes.insert(attempt.id,
                     QStringList{attempt.step, attempt.error, attempt.detail}.join(u'|'));
    for (qsizetype row = 0; row < table.size(); ++row)
        QCOMPARE(codes.value(ids[row]), QString::fromUtf8(table[row].codes));
    if (backend == u"postgresql") {
        {
            QSqlQuery granted(rawDatabase(url));
            QVERIFY(
                granted.exec("SELECT has_function_privilege('pairwick_station', "
                             "'pairwick_finish_attempt(text, text, text, text, text, text, "
                             "text, text, text, text, text)', 'EXECUTE')"));
            QVERIFY(granted.next() && granted.value(0).toBool());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }
    QCOMPARE(disagreementsOf(migrated), QStringList());
}
