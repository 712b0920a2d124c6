// SPDX-License-Identifier: GPL-3.0-or-later
// The label queue through a kill: what was being sent is recorded as uncertain and never sent
// again, the rest goes in the order it came; and the printers as --printer names them.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

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
    void printerAwayOrMisconfigured_data();
    void printerAwayOrMisconfigured();
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
        auto first = queue.oldest(&error);
        QCOMPARE(first->values.seq, 1);
        QVERIFY(queue.markSending(*first, &error));
        QVERIFY(queue.markSent(*first, &error));
        auto second = queue.oldest(&error);
        QCOMPARE(second->values.seq, 2);
        QVERIFY(!second->waited);
        // Refused before the printer was reached, then away after it was.
        QVERIFY(queue.putBack(*second, &error));
        second = queue.oldest(&error);
        QVERIFY(second->waited);
        QVERIFY(queue.markSending(*second, &error));
        QVERIFY(queue.putBack(*second, &error));
        second = queue.oldest(&error);
        QCOMPARE(second->values.seq, 2);
        QVERIFY(queue.markSending(*second, &error));
        QCOMPARE(queue.oldest(&error)->values.seq, 3);
        QCOMPARE(queue.waiting(), 3);
        // Killed here: label 2 may or may not have printed; label 1 did, unrecorded; label 3,
        // whose printer was not reached yet, cannot have.
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
    auto next = restarted.oldest(&error);
    QCOMPARE(next->values.seq, 3);
    QVERIFY(next->waited);  // left by the run before: it waited for this start
    QVERIFY(restarted.add(unit(5), &error));
    QVERIFY(restarted.markSending(*next, &error));
    QVERIFY(restarted.markSent(*next, &error));
    for (const qint64 seq : {4, 5}) {
        auto later = restarted.oldest(&error);
        QCOMPARE(later->values.seq, seq);
        QVERIFY(restarted.markSending(*later, &error));
    }
    QVERIFY(!restarted.oldest(&error) && error.isEmpty());
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

// A raw port that takes a connection and does one thing to it: answers, or closes at once.
class RawPeer {
public:
    explicit RawPeer(QByteArray answer) {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size);
        ::listen(m_listener, 1);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, answer] {
            const int peer = ::accept(m_listener, nullptr, nullptr);
            if (peer < 0)
                return;
            if (!answer.isEmpty() && ::write(peer, answer.constData(), size_t(answer.size())) < 0)
                qWarning("the peer could not answer");
            ::close(peer);
        });
    }
    ~RawPeer() {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

void TestLabelQueue::printerAwayOrMisconfigured_data() {
    QTest::addColumn<QString>("printer");  // PORT: a peer's, FOLDER: one of the test's
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("kind");
    // Whether a byte may have gone: a label that could not have printed is never uncertain.
    QTest::addColumn<bool>("reached");
    using Kind = printing::SendOutcome::Kind;
    QTest::newRow("closes mid-label")
        << "tcp:127.0.0.1:PORT" << QByteArray() << int(Kind::Away) << true;
    QTest::newRow("answers garbage")
        << "tcp:127.0.0.1:PORT" << QByteArray("HTTP/1.1 400 Bad\r\n") << int(Kind::Away) << true;
    QTest::newRow("refused") << "tcp:127.0.0.1:CLOSED" << QByteArray() << int(Kind::Away) << false;
    QTest::newRow("unplugged") << "FOLDER/lp0" << QByteArray() << int(Kind::Away) << false;
    QTest::newRow("a folder for a device")
        << "FOLDER" << QByteArray() << int(Kind::Misconfigured) << false;
    QTest::newRow("folder gone") << "dir:FOLDER/gone" << QByteArray() << int(Kind::Away) << true;
    QTest::newRow("folder") << "dir:FOLDER" << QByteArray() << int(Kind::Sent) << true;
}

void TestLabelQueue::printerAwayOrMisconfigured() {
    QFETCH(QString, printer);
    QFETCH(QByteArray, answer);
    QFETCH(int, kind);
    QFETCH(bool, reached);
    QTemporaryDir folder;
    const RawPeer peer(answer);
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    const auto destination = PrinterDestination::parse(
        printer.replace(QStringLiteral("PORT"), QString::number(peer.port()))
            .replace(QStringLiteral("CLOSED"), QString::number(closedPort))
            .replace(QStringLiteral("FOLDER"), folder.path()));
    bool wasReached = false;
    // A label long enough that a peer that closes cannot have taken it all.
    const printing::PrintJob job{QByteArray(8 * 1024 * 1024, 'x'),
                                 printing::DocumentKind::Zpl,
                                 2,
                                 QStringLiteral("tags"),
                                 7,
                                 [&wasReached] {
                                     wasReached = true;
                                     return QString();
                                 }};
    const printing::SendOutcome outcome =
        printing::sendLabel(std::get<PrinterDestination>(destination), job);
    QVERIFY2(int(outcome.kind) == kind, qPrintable(outcome.reason));
    QCOMPARE(wasReached, reached);
    if (outcome.kind == printing::SendOutcome::Kind::Sent)
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{"tags-7-2.zpl", "tags-7.zpl"}));
}

QTEST_GUILESS_MAIN(TestLabelQueue)
#include "tst_labelqueue.moc"
