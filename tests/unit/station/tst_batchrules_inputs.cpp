// SPDX-License-Identifier: GPL-3.0-or-later
// What an operator writes by hand: name templates and the values file, read or refused.
#include <QTest>
#include <optional>

#include "tst_batchrules.h"

using namespace pairwick::station;
using namespace pairwick::station::testing;
using pairwick::settings::AdapterSettings;
using pairwick::settings::Key;

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
