// SPDX-License-Identifier: GPL-3.0-or-later
// A batch's rules judged before it starts, and the values each unit then gets from them.
#include <QCoreApplication>
#include <QTest>
#include <variant>

#include "tst_batchrules.h"

using namespace pairwick::station;
using namespace pairwick::station::testing;
using pairwick::settings::AdapterSettings;
using pairwick::settings::Key;

void TestBatchRules::rulesProblem_data() {
    QTest::addColumn<BatchRules>("rules");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("chinese");  // the window's text, reason included, without English

    BatchRules slaveBinding = rules("Box");
    slaveBinding.templates.set(Key::Role, "slave");
    BatchRules slaveRows = slaveBinding;
    slaveRows.values = table("seq,bind\n5,0A1B2C3D4E5F\n");
    slaveBinding.templates.set(Key::Bind, "0A1B2C3D4E5F");

    QTest::newRow("fits") << rules("Sensor-{seq:4}-{addr:4}") << ""
                          << "";
    QTest::newRow("rows fit") << rules("S{seq}", "seq,pin\n1,{random:4}\n") << ""
                              << "";
    QTest::newRow("unknown field") << rules("a{b}") << "name: template \"a{b}\": field \"{b}\""
                                   << "name: 模板 \"a{b}\"：";
    QTest::newRow("too long at the first number")
        << rules("Sensor-{seq:4}", {}, 100000000000000) << "name: template \"Sensor-{seq:4}\" gives"
        << "name: 模板 \"Sensor-{seq:4}\" 得到 \"Sensor-100000000000000\"，它不能超过 20 个字符";
    QTest::newRow("bind in the slave role")
        << slaveBinding << "\"bind\" is written only"
        << "\"bind\" 只在 master 角色下写入，而 \"role\" 设为了 slave";
    QTest::newRow("row binds in the slave role")
        << slaveRows << "values.csv line 2: \"bind\" is written only"
        << "values.csv 第 2 行: \"bind\" 只在";
    QTest::newRow("row's own number too long")
        << rules("Sensor-{seq}", "seq,pin\n1,1\n123456789012345,2\n")
        << "name: template \"Sensor-{seq}\" gives \"Sensor-123456789012345\", which must be at "
           "most 20 characters (for the unit of values.csv line 3)"
        << "，它不能超过 20 个字符（values.csv 第 3 行的模块）";
    QTest::newRow("address row at the first number")
        << rules({}, "address,name\n0A1B2C3D4E5F,Node-{seq}-{addr:6}\n", 100000000)
        << "values.csv line 2 column \"name\": template"
        << "values.csv 第 2 行的列 \"name\"：模板";
    QTest::newRow("negative first") << rules("Box", {}, -1) << "first number: -1"
                                    << "起始编号：-1";
}

void TestBatchRules::rulesProblem() {
    QFETCH(BatchRules, rules);
    QFETCH(QString, problem);
    QFETCH(QString, chinese);
    const QString found = pairwick::station::rulesProblem(rules);
    QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.contains(problem), qPrintable(found));

    QCoreApplication::removeTranslator(m_english.get());
    const QString window = pairwick::station::rulesProblem(rules);
    QCoreApplication::installTranslator(m_english.get());
    QVERIFY2(chinese.isEmpty() ? window.isEmpty() : window.contains(chinese), qPrintable(window));
}

void TestBatchRules::unitValues_data() {
    QTest::addColumn<BatchRules>("rules");
    QTest::addColumn<qint64>("seq");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pin");  // the error's telling part, when name is empty

    BatchRules byNumber = rules("Node-{seq:3}", "seq,pin\n5,0000\n6,\n");
    byNumber.templates.set(Key::Pin, "{random:4}");
    BatchRules byAddress = byNumber;
    byAddress.values = table("address,name\n0a-1b-2c-3d-4e-5f,Own-{addr:2}\n");
    const QString own = "0A1B:2C:3D4E5F";
    const QString other = "1A1B:2C:3D4E5F";

    QTest::newRow("row over templates") << byNumber << 5LL << own << "Node-005"
                                        << "0000";
    QTest::newRow("empty cell leaves the template") << byNumber << 6LL << own << "Node-006"
                                                    << "0123";
    QTest::newRow("no row") << byNumber << 1234LL << own << "Node-1234"
                            << "0123";
    QTest::newRow("row by address") << byAddress << 9LL << own << "Own-5F"
                                    << "0123";
    QTest::newRow("other address") << byAddress << 9LL << other << "Node-009"
                                   << "0123";
    QTest::newRow("just fits") << rules("Sensor-{seq:4}") << 9999999999999LL << own
                               << "Sensor-9999999999999"
                               << "";
    QTest::newRow("grown too long") << rules("Sensor-{seq:4}") << 10000000000000LL << own << ""
                                    << "must be at most 20 characters";
}

void TestBatchRules::unitValues() {
    QFETCH(BatchRules, rules);
    QFETCH(qint64, seq);
    QFETCH(QString, address);
    QFETCH(QString, name);
    QFETCH(QString, pin);

    const auto values = pairwick::station::unitValues(rules, seq, address, countingDigits);
    const QString *error = std::get_if<QString>(&values);
    if (name.isEmpty()) {
        QVERIFY(error);
        QVERIFY2(error->contains(pin), qPrintable(*error));
        return;
    }
    QVERIFY2(!error, error ? qPrintable(*error) : "");
    QCOMPARE(std::get<AdapterSettings>(values).value(Key::Name), name);
    QCOMPARE(std::get<AdapterSettings>(values).value(Key::Pin), pin);
}
