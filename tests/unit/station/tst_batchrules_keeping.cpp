// SPDX-License-Identifier: GPL-3.0-or-later
// The rules as the ledger keeps them, and what another station is told when its own differ.
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QTest>

#include "tst_batchrules.h"

using namespace pairwick::station;
using namespace pairwick::station::testing;
using pairwick::settings::AdapterSettings;
using pairwick::settings::Key;

void TestBatchRules::jsonRoundTrip() {
    BatchRules original = rules("Node-{seq}", "address,pin,messages\n0A1B2C3D4E5F,1234,off\n", 40);
    original.templates.set(Key::Messages, "on");
    for (const BatchRules &kept : {original, rules({}), rules("X", "seq,pin\n1,1\n2,2\n", 0)}) {
        QString error;
        QCOMPARE(BatchRules::fromJson(kept.toJson(), &error), kept);
    }
}

void TestBatchRules::malformedJson_data() {
    QTest::addColumn<QString>("path");  // where in a good object the bad value goes
    QTest::addColumn<QJsonValue>("bad");

    QTest::newRow("first a text") << "first" << QJsonValue("1");
    QTest::newRow("first a fraction") << "first" << QJsonValue(1.5);
    QTest::newRow("templates an array") << "templates" << QJsonValue(QJsonArray());
    QTest::newRow("read-only template") << "templates" << QJsonValue(QJsonObject{{"version", "1"}});
    QTest::newRow("template a number") << "templates" << QJsonValue(QJsonObject{{"pin", 1234}});
    QTest::newRow("picked by name") << "values/pickBy" << QJsonValue("name");
    QTest::newRow("rows an object") << "values/rows" << QJsonValue(QJsonObject());
    QTest::newRow("unit not canonical")
        << "values/rows"
        << QJsonValue(
               QJsonArray{QJsonObject{{"unit", "07"}, {"line", 2}, {"settings", QJsonObject()}}});
    QTest::newRow("row without line")
        << "values/rows"
        << QJsonValue(QJsonArray{QJsonObject{{"unit", "7"}, {"settings", QJsonObject()}}});
}

void TestBatchRules::malformedJson() {
    QFETCH(QString, path);
    QFETCH(QJsonValue, bad);

    QJsonObject json = rules("Box", "seq,pin\n7,1\n").toJson();
    const QStringList parts = path.split('/');
    if (parts.size() == 1) {
        json.insert(path, bad);
    } else {
        QJsonObject values = json.value(parts[0]).toObject();
        values.insert(parts[1], bad);
        json.insert(parts[0], values);
    }
    QString error;
    QVERIFY(!BatchRules::fromJson(json, &error));
    QVERIFY2(error.startsWith("the batch's rules: "), qPrintable(error));
}

void TestBatchRules::rulesDifference_data() {
    QTest::addColumn<BatchRules>("mine");
    QTest::addColumn<QString>("difference");

    const BatchRules batch = rules("Node-{seq}", "seq,pin\n1,11\n2,22\n", 100);
    BatchRules renamedFile = batch;
    renamedFile.values->source = "elsewhere/values.csv";

    QTest::newRow("same") << batch << "";
    QTest::newRow("another file name") << renamedFile << "";
    QTest::newRow("template") << rules("Sensor-{seq:4}", "seq,pin\n1,11\n2,22\n", 100)
                              << "name: \"Sensor-{seq:4}\" here, \"Node-{seq}\" in the batch";
    QTest::newRow("first") << rules("Node-{seq}", "seq,pin\n1,11\n2,22\n", 1)
                           << "first number: 1 here, 100 in the batch";
    QTest::newRow("row count") << rules("Node-{seq}", "seq,pin\n1,11\n", 100)
                               << "values file: 1 row here, 2 in the batch";
    QTest::newRow("row value") << rules("Node-{seq}", "seq,pin\n1,11\n2,23\n", 100)
                               << "values file: the row for unit 2: pin: \"23\" here, \"22\" in "
                                  "the batch";
    QTest::newRow("no file, no name") << rules({}, {}, 100)
                                      << "name: none here, \"Node-{seq}\" in the batch; values "
                                         "file: none here, 2 rows in the batch";
}

void TestBatchRules::rulesDifference() {
    QFETCH(BatchRules, mine);
    QFETCH(QString, difference);
    const BatchRules batch = rules("Node-{seq}", "seq,pin\n1,11\n2,22\n", 100);
    QCOMPARE(pairwick::station::rulesDifference(mine, batch), difference);
}
