// SPDX-License-Identifier: GPL-3.0-or-later
// One command line, one second, one read: the exchange, its two tests and the real wait.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "fakeport.h"
#include "link/eventloopwaiter.h"
#include "link/exchange.h"
#include "link/replytests.h"
#include "virtualwaiter.h"

using namespace pairwick::link;
using pairwick::fakes::FakePort;
using pairwick::fakes::VirtualWaiter;

namespace {

// Skips every fault, as a run in continue mode does, and counts them.
class SkippingPolicy : public FaultPolicy {
public:
    void onPortFault(const PortError &) override { ++faults; }
    int faults = 0;
};

// An open in-memory port, virtual seconds and the exchange over them.
struct OpenLine {
    OpenLine() { port.open(1); }
    FakePort port;
    VirtualWaiter waiter;
    Exchange exchange{port, waiter};
};

}  // namespace

class TestExchange : public QObject {
    Q_OBJECT

private slots:
    void replyTests_data();
    void replyTests();
    void oneLineOneWaitOneRead();
    void replyIsReturnedUnchanged();
    void lateTailBecomesTheHeadOfTheNextReply();
    void discardDropsPendingInput();
    void faultsEndTheExchangeUnlessSkipped();
    void cancelledRunSendsNothingMore();
    void runsNestAndFinishOnce();
    void realWaitLastsASecondAndKeepsEventsFlowing();
    void realWaitCanBeInterrupted();
};

void TestExchange::replyTests_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("endsWithOk");
    QTest::addColumn<bool>("probeOk");
    QTest::newRow("echo and OK") << "AT\r\nOK\r\n" << true << true;
    QTest::newRow("OK alone") << "OK\r\n" << true << false;
    QTest::newRow("lower-case ok") << "AT\r\nok\r\n" << false << false;
    QTest::newRow("one more character") << "AT\r\nOK\r\nx" << false << true;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("three characters") << "K\r\n" << false << false;
    QTest::newRow("exactly OK CR LF") << "OK\r\n" << true << false;
    QTest::newRow("OK without LF") << "AT\r\nOK\r" << false << true;
    QTest::newRow("five characters") << "AT\r\nO" << false << false;
    QTest::newRow("anything before OK") << "\xff garbage OK\r\n" << true << false;
    QTest::newRow("OK at 5-6, error after") << "AT\r\nOKERROR\r\n" << false << true;
}

void TestExchange::replyTests() {
    QFETCH(QString, reply);
    QFETCH(bool, endsWithOk);
    QFETCH(bool, probeOk);
    QCOMPARE(ReplyEndsWithOk(reply), endsWithOk);
    QCOMPARE(ProbeReplyOk(reply), probeOk);
}

void TestExchange::oneLineOneWaitOneRead() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    QString writtenBeforeWait;
    waiter.onWait([&](int) { writtenBeforeWait = port.written().join(QString()); });
    port.setAdapter([](const QString &) { return QStringLiteral("AT\r\nOK\r\n"); });
    exchange.ExchangeCommand(QStringLiteral("AT+VER?"));
    QCOMPARE(port.written(), QStringList({"AT+VER?\r\n"}));
    QCOMPARE(writtenBeforeWait, QStringLiteral("AT+VER?\r\n"));
    QCOMPARE(waiter.waits(), 1);
}

void TestExchange::replyIsReturnedUnchanged() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    port.setAdapter([](const QString &) { return QStringLiteral("x\r\n\r\nOK\r\n蓝"); });
    QCOMPARE(exchange.ExchangeCommand(QStringLiteral("AT")), QStringLiteral("x\r\n\r\nOK\r\n蓝"));
}

void TestExchange::lateTailBecomesTheHeadOfTheNextReply() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    port.setAdapter([](const QString &line) { return line + QStringLiteral("\r\nOK\r\n"); });
    port.holdBackNextReply(4);
    QCOMPARE(exchange.ExchangeCommand(QStringLiteral("A")), QStringLiteral("A\r\n"));
    QCOMPARE(exchange.ExchangeCommand(QStringLiteral("B")), QStringLiteral("OK\r\nB\r\nOK\r\n"));
}

void TestExchange::discardDropsPendingInput() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    port.receive(QStringLiteral("stale"));
    exchange.DiscardInput();
    QCOMPARE(exchange.ExchangeCommand(QStringLiteral("AT")), QString());
    QCOMPARE(waiter.waits(), 1);
}

void TestExchange::faultsEndTheExchangeUnlessSkipped() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    port.vanish(QStringLiteral("Input/output error"));
    QVERIFY_THROWS_EXCEPTION(PortError, exchange.ExchangeCommand(QStringLiteral("AT")));
    QCOMPARE(waiter.waits(), 0);

    // Skipped faults keep the pace: the second is still waited, and the reply is empty.
    SkippingPolicy skipping;
    QCOMPARE(exchange.ExchangeCommand(QStringLiteral("AT"), &skipping), QString());
    QCOMPARE(skipping.faults, 2);
    QCOMPARE(waiter.waits(), 1);
    exchange.DiscardInput(&skipping);
    QCOMPARE(skipping.faults, 3);
}

void TestExchange::cancelledRunSendsNothingMore() {
    OpenLine line;
    auto &[port, waiter, exchange] = line;
    Exchange::RunScope run(exchange);
    waiter.onWait([&](int) { exchange.cancelRun(); });
    QVERIFY_THROWS_EXCEPTION(RunCancelled, exchange.ExchangeCommand(QStringLiteral("A")));
    QVERIFY_THROWS_EXCEPTION(RunCancelled, exchange.ExchangeCommand(QStringLiteral("B")));
    QVERIFY_THROWS_EXCEPTION(RunCancelled, exchange.WaitOneSecond());
    QCOMPARE(port.writtenLines(), QStringList({"A"}));
    QCOMPARE(waiter.waits(), 1);
}

void TestExchange::runsNestAndFinishOnce() {
    FakePort port;
    VirtualWaiter waiter;
    Exchange exchange(port, waiter);
    QSignalSpy finished(&exchange, &Exchange::runFinished);
    QVERIFY(!exchange.busy());
    {
        Exchange::RunScope outer(exchange);
        {
            Exchange::RunScope inner(exchange);
            QVERIFY(exchange.busy());
        }
        QVERIFY(exchange.busy());
        QCOMPARE(finished.count(), 0);
    }
    QVERIFY(!exchange.busy());
    QCOMPARE(finished.count(), 1);
    // A cancel outside any run does nothing to the next one.
    exchange.cancelRun();
    Exchange::RunScope next(exchange);
    QVERIFY(!exchange.cancelled());
}

void TestExchange::realWaitLastsASecondAndKeepsEventsFlowing() {
    EventLoopWaiter waiter;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(100);
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(waiter.waitOneSecond());
    // Never early; a timer of the window keeps firing during the wait.
    QVERIFY2(elapsed.elapsed() >= 1000, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY(ticks >= 5);
}

void TestExchange::realWaitCanBeInterrupted() {
    EventLoopWaiter waiter;
    QTimer::singleShot(100, [&waiter] { waiter.interrupt(); });
    // Told by the order of events, not by a clock: a wait that ran on past the interruption
    // would also serve this later timer, however slow the machine.
    bool ranOn = false;
    QTimer::singleShot(900, [&ranOn] { ranOn = true; });
    QVERIFY(!waiter.waitOneSecond());
    QVERIFY(!ranOn);
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
