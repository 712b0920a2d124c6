// SPDX-License-Identifier: GPL-3.0-or-later
// The labels of passed units on a raw network printer, through its outages and the station's
// stops and kills.
#include <QFile>
#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <map>

#include "labelreading.h"

#include "tst_e2e_station.h"

// Each passed unit's label reaches a raw label printer (the test's listener) once, in the order of
// the passes, also those that waited while the printer was away, and reads back as the ledger
// holds the unit, a name of ZPL commands included; the unit that failed gets none.
void TestE2eStation::labelsOfPassesOnceInOrderThroughAnOutage() {
    const QString missing = pairwick::labels::test::missingReaders();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    const QString values = m_folder->filePath("values.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("seq,pin\n2,9999\n");
    file.close();
    startUnits(2, {"--error-on", "AT+PIN=9999"});
    // Away: a port nobody listens on refuses every connection.
    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    const quint16 port = printer.serverPort();
    printer.close();
    QList<QByteArray> printed;
    QObject::connect(&printer, &QTcpServer::newConnection, &printer, [&] {
        while (QTcpSocket *peer = printer.nextPendingConnection()) {
            QObject::connect(peer, &QTcpSocket::disconnected, peer, [&printed, peer] {
                printed.append(peer->property("label").toByteArray() + peer->readAll());
                peer->deleteLater();
            });
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                peer->setProperty("label", peer->property("label").toByteArray() + peer->readAll());
            });
        }
    });
    const QString url = sqliteUrl();
    // The documents' example, its code holding the operator too.
    QFile example(QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QString zpl = m_folder->filePath("tags.zpl");
    QFile withOperator(zpl);
    QVERIFY(withOperator.open(QIODevice::WriteOnly));
    withOperator.write(example.readAll().replace("QA,{name}^FS", "QA,{name} {operator}^FS"));
    withOperator.close();
    auto run = station({"COM1",       "COM2",
                        "--batch",    "tags",
                        "--set",      "name=U{seq}^XZ^XA^FDx~JR",
                        "--set",      "pin={random:4}",
                        "--values",   values,
                        "--count",    "4",
                        "--ledger",   url,
                        "--label",    zpl,
                        "--operator", "Ana ^FS",
                        "--printer",  QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    const auto passed = [&] {
        return std::count_if(run->units().cbegin(), run->units().cend(), [](const Json &unit) {
            return unit.value("result").toString() == "passed";
        });
    };
    const auto awayWithWaiting = [&](int waiting) {
        return std::any_of(
            run->slotEvents().cbegin(), run->slotEvents().cend(), [waiting](const Json &line) {
                return line.value("event").toString() == "labels" &&
                       line.value("waiting").toInt() >= waiting && !line.value("printer").isNull();
            });
    };
    operate({run.get()}, [&] { return passed() >= 2 && awayWithWaiting(2); });
    QVERIFY2(awayWithWaiting(2), run->errors().constData());
    QVERIFY(printer.listen(QHostAddress::LocalHost, port));
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 4, PatienceMs);

    // In the order the station reported the passes, each read back as the ledger holds it.
    std::map<qint64, QString> names;
    for (const QJsonValue &unit : ledger({"units", "--batch", "tags", "--ledger", url})) {
        names[unit["seq"].toInteger()] = unit["name"].toString();
        QCOMPARE(unit["labels"].toInt(), unit["state"].toString() == "passed" ? 1 : 0);
    }
    QCOMPARE(names.size(), std::size_t(5));
    QList<QString> expected;
    for (const Json &unit : run->units()) {
        if (unit.value("result").toString() == "passed")
            expected.append(names.at(unit.value("seq").toInteger()) + QStringLiteral(" Ana ^FS"));
    }
    QList<QString> read;
    for (const QByteArray &label : printed) {
        QString problem;
        read.append(
            QString::fromUtf8(pairwick::labels::test::qrOfZpl(label, m_folder->path(), &problem)));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    QCOMPARE(read, expected);
    QVERIFY(read.contains(QStringLiteral("U1^XZ^XA^FDx~JR Ana ^FS")));
    QVERIFY(!read.contains(names.at(2) + QStringLiteral(" Ana ^FS")));

    const QJsonArray labels = ledger({"labels", "--batch", "tags", "--ledger", url});
    QCOMPARE(labels.size(), 4);
    QCOMPARE(labels[0]["reason"].toString(), QStringLiteral("pending after outage"));
    for (const QJsonValue &label : labels) {
        QCOMPARE(label["state"].toString(), QStringLiteral("sent"));
        QVERIFY(label["seq"].toInteger() != 2);
    }
}

// Labels that wait for a printer outlast a stop, which says so, and a kill: the next start prints
// them first, in order, each once.
void TestE2eStation::labelsWaitingSurviveAStopAndAKill() {
    startUnits(1);
    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    const quint16 port = printer.serverPort();
    printer.close();
    const QString url = sqliteUrl();
    const auto labelled = [&](const char *count) {
        return station({"COM1", "--batch", "kept", "--set", "name=K{seq}", "--count", count,
                        "--ledger", url, "--label",
                        QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"), "--printer",
                        QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    };
    auto run = labelled("3");
    operate({run.get()}, [&] { return run->unitCount() == 1; });
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QVERIFY2(run->errors().contains("1 labels were not printed yet"), run->errors().constData());
    m_units->command("next COM1");
    run = labelled("3");
    operate({run.get()}, [&] { return run->unitCount() == 1; });
    const auto twoWait = [&] {
        run->newUnits();
        return std::any_of(run->slotEvents().cbegin(), run->slotEvents().cend(),
                           [](const Json &line) {
                               return line.value("event").toString() == "labels" &&
                                      line.value("waiting").toInt() == 2;
                           });
    };
    QTRY_VERIFY_WITH_TIMEOUT(twoWait(), PatienceMs);
    run->signal(SIGKILL);
    run->finish();
    m_units->command("next COM1");

    QList<QByteArray> printed;
    QObject::connect(&printer, &QTcpServer::newConnection, &printer, [&] {
        while (QTcpSocket *peer = printer.nextPendingConnection()) {
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                peer->setProperty("label", peer->property("label").toByteArray() + peer->readAll());
            });
            QObject::connect(peer, &QTcpSocket::disconnected, peer, [&printed, peer] {
                printed.append(peer->property("label").toByteArray() + peer->readAll());
                peer->deleteLater();
            });
        }
    });
    QVERIFY(printer.listen(QHostAddress::LocalHost, port));
    run = labelled("3");
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 3, PatienceMs);
    QStringList names;
    for (const QByteArray &label : printed) {
        QString problem;
        names.append(
            QString::fromUtf8(pairwick::labels::test::qrOfZpl(label, m_folder->path(), &problem)));
    }
    // A unit the stop cut short took a number too: the passes, in the order of their numbers.
    QStringList passed;
    std::map<qint64, QString> expected;
    for (const QJsonValue &unit : ledger({"units", "--batch", "kept", "--ledger", url})) {
        if (unit["state"].toString() != "passed")
            continue;
        passed.append(unit["name"].toString());
        expected[unit["seq"].toInteger()] =
            passed.size() < 3 ? QStringLiteral("pending after outage") : QStringLiteral("pass");
    }
    QCOMPARE(names, passed);
    std::map<qint64, QString> reasons;
    for (const QJsonValue &label : ledger({"labels", "--batch", "kept", "--ledger", url}))
        reasons[label["seq"].toInteger()] = label["reason"].toString();
    QCOMPARE(reasons, expected);
}
