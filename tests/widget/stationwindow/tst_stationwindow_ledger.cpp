// SPDX-License-Identifier: GPL-3.0-or-later
// A ledger that is away or silent: the window tells it truly and never freezes waiting for it.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "station/ledgerkeeper.h"
#include "stationwindow/runpage.h"
#include "stationwindow/setuppage.h"
#include "stationwindow/slottile.h"
#include "stationwindow/stationwindow.h"
#include "tst_stationwindow.h"

using pairwick::station::SetupField;
using pairwick::station::SlotEvent;
using pairwick::station::SlotState;
using pairwick::stationwindow::RunPage;
using pairwick::stationwindow::StationWindow;

// While a slot waits for the ledger, the ledger's line does not call it well, though the keeper
// read its totals a moment ago.
void TestStationWindow::ledgerLineAgreesWithTheTiles() {
    RunPage page;
    page.begin({QStringLiteral("COM1"), QStringLiteral("COM2")});
    pairwick::station::LedgerStatus answering;
    answering.spooled = 1;
    page.ledgerStatus(answering);
    const auto *line = child<QLabel>(page, QStringLiteral("ledgerState"));
    QCOMPARE(line->text(), QStringLiteral("台账：正常　待存结果 1 个"));
    page.slotChanged(0, SlotEvent{SlotState::LedgerAway, "storing", 3, 9, 9, false});
    QTRY_COMPARE(line->text(), QStringLiteral("台账：1 个槽在等待台账　待存结果 1 个"));
    QCOMPARE(page.tiles()[0]->face().word, QStringLiteral("等待台账"));
    page.slotChanged(0, SlotEvent{SlotState::Passed, "Unit-3 PIN 1", 3, 0, 0, true});
    QTRY_COMPARE(line->text(), QStringLiteral("台账：正常　待存结果 1 个"));
}

// A PostgreSQL server that takes the connection and never answers: Start waits for it on the
// ledger's thread while the window goes on painting and taking clicks.
void TestStationWindow::silentLedgerKeepsTheWindowResponsive() {
    // Listening is enough: the system completes the connection, and nobody ever answers.
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = m_folder->filePath(".s.PGSQL.5432").toUtf8();
    std::copy_n(path.constData(), path.size(), address.sun_path);
    QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    QVERIFY(::listen(silent, 4) == 0);
    auto setup = validSetup();
    setup.ledgerUrl = QStringLiteral("postgresql:///units?host=%1").arg(m_folder->path());
    StationWindow window(setup, nullptr);
    window.show();

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    tick.start(20);
    QVERIFY(window.start());
    QTRY_VERIFY_WITH_TIMEOUT(!problemShown(window.setupPage(), SetupField::Ledger).isEmpty(),
                             15000);
    QVERIFY2(clock.elapsed() > 1000, "the server was not waited for");
    // Waiting on the silent server would stall the window for its whole connect timeout (5 s);
    // half of that leaves room for a machine whose cores are all busy.
    QVERIFY2(longestGap < 2500, qPrintable(QString::number(longestGap)));
    QVERIFY(!window.isRunning());
    QVERIFY(child<QPushButton>(window.setupPage(), "startButton")->isEnabled());
    ::close(silent);
}
