// SPDX-License-Identifier: GPL-3.0-or-later
// The label queue through a kill: what was being sent is recorded as uncertain and never sent
// again, the rest goes in the order it came; and the printers as --printer names them.
#include <QTemporaryDir>
#include <QTest>

#include "printing/labelqueue.h"
#include "printing/printerdestination.h"

using namespace pairwick;
using printing::LabelQueue;
using printing::PrinterDestination;

class TestLabelQueue : public QObject {
    Q_OBJECT

private slots:
    void killWhileSendingLeavesOneUncertain();
    void destinations_data();
    void destinations();
};

namespace {

labels::LabelValues unit(qint64 seq) {
    labels::LabelValues values;
    values.batch = QStringLiteral("tags");
    values.seq = seq;
    values.name = QStringLiteral("U%1").arg(seq);
    return values;
}

}  // namespace

void TestLabelQueue::killWhileSendingLeavesOneUncertain() {
    QTemporaryDir folder;
    QString error;
    {
        LabelQueue queue(folder.filePath(QStringLiteral("labels")));
        QVERIFY(queue.open(&error));
        for (qint64 seq = 1; seq <= 4; ++seq)
            QVERIFY2(queue.add(unit(seq), &error), qPrintable(error));
        auto first = queue.takeOldest(&error);
        QCOMPARE(first->values.seq, 1);
        QVERIFY(queue.markSent(*first, &error));
        auto second = queue.takeOldest(&error);
        QCOMPARE(second->values.seq, 2);
        QVERIFY(!second->waited);
        QVERIFY(queue.putBack(*second, &error));
        QCOMPARE(queue.takeOldest(&error)->values.seq, 2);
        QCOMPARE(queue.waiting(), 3);
        // Killed here: label 2 may or may not have printed; label 1 did, unrecorded.
    }
    LabelQueue restarted(folder.filePath(QStringLiteral("labels")));
    QVERIFY(restarted.open(&error));
    QCOMPARE(restarted.waiting(), 2);
    const auto sent = restarted.toRecord(false);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().values.seq, 1);
    QVERIFY(sent.first().sent.isValid());
    const auto uncertain = restarted.toRecord(true);
    QCOMPARE(uncertain.size(), 1);
    QCOMPARE(uncertain.first().values.seq, 2);
    restarted.forget(uncertain.first());
    QVERIFY(restarted.toRecord(true).isEmpty());
    auto next = restarted.takeOldest(&error);
    QCOMPARE(next->values.seq, 3);
    QVERIFY(next->waited);  // left by the run before: it waited for this start
    QVERIFY(restarted.add(unit(5), &error));
    QVERIFY(restarted.markSent(*next, &error));
    QCOMPARE(restarted.takeOldest(&error)->values.seq, 4);
    QCOMPARE(restarted.takeOldest(&error)->values.seq, 5);
    QVERIFY(!restarted.takeOldest(&error) && error.isEmpty());
}

void TestLabelQueue::destinations_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");  // -1: refused
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("port");
    using Kind = PrinterDestination::Kind;
    QTest::newRow("tcp") << "tcp:192.0.2.7:9100" << int(Kind::Tcp) << "192.0.2.7" << 9100;
    QTest::newRow("tcp v6") << "tcp:[::1]:9100" << int(Kind::Tcp) << "::1" << 9100;
    QTest::newRow("tcp no port") << "tcp:printer" << -1 << "" << 0;
    QTest::newRow("tcp port 0") << "tcp:printer:0" << -1 << "" << 0;
    QTest::newRow("device") << "/dev/usb/lp0" << int(Kind::Device) << "/dev/usb/lp0" << 0;
    QTest::newRow("cups") << "cups:Labels" << int(Kind::Cups) << "Labels" << 0;
    QTest::newRow("cups option") << "cups:-oraw" << -1 << "" << 0;
    QTest::newRow("cups empty") << "cups:" << -1 << "" << 0;
    QTest::newRow("folder") << "dir:/srv/labels" << int(Kind::Folder) << "/srv/labels" << 0;
    QTest::newRow("unknown") << "lpd:printer" << -1 << "" << 0;
}

void TestLabelQueue::destinations() {
    QFETCH(QString, text);
    QFETCH(int, kind);
    const auto parsed = PrinterDestination::parse(text);
    if (kind < 0) {
        QVERIFY(std::get_if<QString>(&parsed) && std::get<QString>(parsed).contains(text));
        return;
    }
    const PrinterDestination &destination = std::get<PrinterDestination>(parsed);
    QCOMPARE(int(destination.kind), kind);
    QTEST(destination.target, "target");
    QTEST(int(destination.port), "port");
    QCOMPARE(destination.text, text);
}

QTEST_GUILESS_MAIN(TestLabelQueue)
#include "tst_labelqueue.moc"
