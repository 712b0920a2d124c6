// SPDX-License-Identifier: GPL-3.0-or-later
#include <QJsonArray>
#include <QTest>
#include <QTranslator>
#include <memory>

#include "i18n/translation.h"
#include "station/batchrules.h"
#include "station/valuesfile.h"

using namespace pairwick::station;
using pairwick::settings::AdapterSettings;
using pairwick::settings::Key;

namespace {

// Stands in for the system source, so a test knows the digits it gets.
QString countingDigits(int count) {
    return QStringLiteral("01234567890123456789").left(count);
}

ValuesTable table(const QByteArray &csv) {
    QString error;
    const std::optional<ValuesTable> values = parseValuesFile(csv, "values.csv", &error);
    if (!values)
        qFatal("the test's values file is refused: %s", qPrintable(error));
    return *values;
}

BatchRules rules(const QString &name, const QByteArray &csv = {}, qint64 first = 1) {
    BatchRules made;
    made.first = first;
    if (!name.isEmpty())
        made.templates.set(Key::Name, name);
    if (!csv.isEmpty())
        made.values = table(csv);
    return made;
}

}  // namespace

class TestBatchRules : public QObject {
    Q_OBJECT

private slots:
    // The problems as the command line and its records give them.
    void initTestCase() {
        m_english = pairwick::i18n::installTranslation(pairwick::i18n::Language::English);
        QVERIFY(m_english);
    }
    void expandTemplate_data();
    void expandTemplate();
    void valuesFile_data();
    void valuesFile();
    void rulesProblem_data();
    void rulesProblem();
    void unitValues_data();
    void unitValues();
    void jsonRoundTrip();
    void malformedJson_data();
    void malformedJson();
    void rulesDifference_data();
    void rulesDifference();

private:
    std::unique_ptr<QTranslator> m_english;
};

void TestBatchRules::expandTemplate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seq");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");  // the error's telling part, when it starts with "!"

    const QString address = "0a1b:2c:3d4e5f";
    QTest::newRow("plain") << "Box" << 7LL << address << "Box";
    QTest::newRow("seq") << "N{seq}" << 42LL << address << "N42";
    QTest::newRow("seq padded") << "N{seq:4}" << 42LL << address << "N0042";
    QTest::newRow("seq grows past its width") << "{seq:4}" << 123456LL << address << "123456";
    QTest::newRow("addr upper case, no separators") << "{addr:6}" << 1LL << address << "3D4E5F";
    QTest::newRow("addr all") << "{addr:12}" << 1LL << address << "0A1B2C3D4E5F";
    QTest::newRow("random") << "{random:6}" << 1LL << address << "012345";
    QTest::newRow("braces") << "{{seq}}-}}{{" << 1LL << address << "{seq}-}{";
    QTest::newRow("mixed") << "S{seq:2}-{addr:2}{{" << 3LL << address << "S03-5F{";

    QTest::newRow("unknown") << "a{name}" << 1LL << address << "!field \"{name}\" is unknown";
    QTest::newRow("empty field") << "{}" << 1LL << address << "!field \"{}\" is unknown";
    QTest::newRow("seq width 0") << "{seq:0}" << 1LL << address << "!\"{seq:0}\": the width";
    QTest::newRow("seq width 21") << "{seq:21}" << 1LL << address << "!from 1 to 20";
    QTest::newRow("seq width text") << "{seq:x}" << 1LL << address << "!\"{seq:x}\": the width";
    QTest::newRow("seq width signed") << "{seq:+4}" << 1LL << address << "!\"{seq:+4}\"";
    QTest::newRow("addr no width") << "{addr}" << 1LL << address << "!from 1 to 12";
    QTest::newRow("addr width 13") << "{addr:13}" << 1LL << address << "!from 1 to 12";
    QTest::newRow("random width 21") << "{random:21}" << 1LL << address << "!from 1 to 20";
    QTest::newRow("lone open") << "ab{seq" << 1LL << address << "!lone \"{\" at character 3";
    QTest::newRow("open in field") << "{se{seq}" << 1LL << address << "!lone \"{\" at character 1";
    QTest::newRow("lone close") << "ab}c" << 1LL << address << "!lone \"}\" at character 3";
    QTest::newRow("short address") << "{addr:8}" << 1LL << "0A:1B"
                                   << "!has only 4 hex digits";
}

void TestBatchRules::expandTemplate() {
    QFETCH(QString, text);
    QFETCH(qint64, seq);
    QFETCH(QString, address);
    QFETCH(QString, expected);

    QString error;
    const std::optional<QString> expanded =
        pairwick::station::expandTemplate(text, {seq, address}, &error, countingDigits);
    if (expected.startsWith('!')) {
        QVERIFY(!expanded);
        QVERIFY2(error.contains(expected.mid(1)), qPrintable(error));
    } else {
        QCOMPARE(expanded, expected);
        QCOMPARE(templateProblem(text), QString());
    }
}

void TestBatchRules::valuesFile_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");  // empty: the row holds no value for the key
    QTest::addColumn<QString>("error");

    QTest::newRow("quotes") << QByteArray("seq,name\n1,\"a,\"\"b\"\"\"\n") << "1"
                            << "name"
                            << "a,\"b\""
                            << "";
    QTest::newRow("CRLF") << QByteArray("seq,pin\r\n7,1234\r\n") << "7"
                          << "pin"
                          << "1234"
                          << "";
    QTest::newRow("BOM, no last line end") << QByteArray("\xEF\xBB\xBFseq,pin\n7,1234") << "7"
                                           << "pin"
                                           << "1234"
                                           << "";
    QTest::newRow("address picks")
        << QByteArray("name,address\nBox,0a1b:2c:3d4e5f\n") << "0A1B2C3D4E5F"
        << "name"
        << "Box"
        << "";
    QTest::newRow("number with zeros") << QByteArray("seq,pin\n007,1\n") << "7"
                                       << "pin"
                                       << "1"
                                       << "";
    QTest::newRow("empty cell") << QByteArray("seq,name,pin\n3,,12\n\n") << "3"
                                << "name"
                                << ""
                                << "";

    const auto refused = [](const char *name, const char *csv, const char *error) {
        QTest::newRow(name) << QByteArray(csv) << ""
                            << ""
                            << "" << error;
    };
    refused("empty", "", "values.csv: empty");
    refused("unknown column", "seq,colour\n", "values.csv line 1 column \"colour\": not a column");
    refused("read-only column", "seq,version\n", "line 1 column \"version\": not a column");
    refused("both pickers", "seq,name,address\n", "line 1 column \"address\": units are picked");
    refused("no picker", "name\nBox\n", "values.csv line 1: no column \"seq\" or \"address\"");
    refused("column twice", "seq,pin,pin\n", "line 1 column \"pin\": the column is there twice");
    refused("cell too many", "seq,pin\n1,2,3\n", "line 2 column 3: the row has 3 cells");
    refused("cell missing", "seq,pin\n1,2\n3\n", "line 3 column \"pin\": the row has 1 cells");
    refused("negative seq", "seq,pin\n-1,12\n", "line 2 column \"seq\": \"-1\" is not a unit");
    refused("bad address", "address,pin\n0A1B2C3D4E5,12\n", "\"address\": \"0A1B2C3D4E5\" is not");
    refused("unit twice", "seq,pin\n7,1\n07,2\n",
            "line 3 column \"seq\": the unit \"07\" already "
            "has the row on line 2");
    refused("unterminated quote", "seq,pin\n1,2\n3,\"12\n\n",
            "line 3 column \"pin\": a quote opened here is never closed");
    refused("text after quote", "seq,pin\n1,\"12\"3\n", "line 2 column \"pin\": text after");
    refused("quote inside", "seq,pin\n1,1\"2\n", "line 2 column \"pin\": a quote inside");
    refused("line break in a quoted cell", "seq,name\n1,\"a\nb\"\n",
            "line 2 column \"name\": \"a\nb\" must not contain a line break");
    refused("invalid UTF-8", "seq,name\n1,a\n2,\xff\n", "values.csv line 3: not valid UTF-8");
    refused("template", "seq,name\n1,{foo}\n", "line 2 column \"name\": template \"{foo}\"");
    refused("too long", "seq,pin\n1,12345678901\n", "column \"pin\": \"12345678901\" must be at");
    refused("grown too long", "seq,name\n123456789012345,Sensor-{seq}\n", "gives \"Sensor-");
    refused("not in the list", "seq,baud\n1,1234\n", "line 2 column \"baud\": \"1234\" must be");
}

void TestBatchRules::valuesFile() {
    QFETCH(QByteArray, csv);
    QFETCH(QString, unit);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, error);

    QString problem;
    const std::optional<ValuesTable> values = parseValuesFile(csv, "values.csv", &problem);
    if (!error.isEmpty()) {
        QVERIFY(!values);
        QVERIFY2(problem.contains(error), qPrintable(problem));
        return;
    }
    QVERIFY2(values, qPrintable(problem));
    QCOMPARE(values->rows.keys(), QStringList{unit});
    const AdapterSettings row = values->rows.value(unit);
    QCOMPARE(row.has(*pairwick::settings::keyFromName(key)), !value.isEmpty());
    QCOMPARE(row.value(*pairwick::settings::keyFromName(key)), value);
}

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

QTEST_GUILESS_MAIN(TestBatchRules)
#include "tst_batchrules.moc"
