// SPDX-License-Identifier: GPL-3.0-or-later
// What the operator at the line sees: a slot's alarm raised and cleared, and the live view in a
// terminal too small for it.
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <vector>

#include "tst_e2e_station.h"

// COM2's units fail (their PIN is refused) after COM1 passed one: its alarm is raised at its second
// failure and cleared at its first pass.
void TestE2eStation::slotAlarmRaisedAndCleared() {
    startUnits(2, {"--start-empty", "--error-on", "AT+PIN=9999"});
    const QString values = m_folder->filePath("pins.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("address,pin\n0A51:00:000002,9999\n0A51:00:000004,9999\n");
    file.close();
    Station run({"COM1", "COM2", "--batch", "alarm", "--set", "name=Alarm-{seq}", "--set",
                 "pin=1111", "--values", values, "--ledger", sqliteUrl(), "--slot-alarm", "2"},
                environment());
    const auto alarms = [&run] {
        run.newUnits();
        QList<Json> found;
        for (const Json &line : run.slotEvents()) {
            if (line.value("event").toString().startsWith("slot_alarm"))
                found.append(line);
        }
        return found;
    };
    m_units->command("in COM1");
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 1, PatienceMs);
    m_units->command("in COM2");
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 2, PatienceMs);
    m_units->command("next COM2");
    QTRY_COMPARE_WITH_TIMEOUT(alarms().size(), 1, PatienceMs);
    m_units->command("next COM2");
    QTRY_COMPARE_WITH_TIMEOUT(alarms().size(), 2, PatienceMs);
    const QList<Json> said = alarms();
    QCOMPARE(said[0].value("event").toString(), QStringLiteral("slot_alarm"));
    QCOMPARE(said[0].value("slot").toString(), QStringLiteral("COM2"));
    QCOMPARE(said[0].value("units").toArray(), QJsonArray({2, 3}));
    QCOMPARE(said[1].value("event").toString(), QStringLiteral("slot_alarm_cleared"));
    QCOMPARE(said[1].value("slot").toString(), QStringLiteral("COM2"));
    QCOMPARE(said[1].value("seq").toInt(), 4);
    QCOMPARE(run.units().last().value("result").toString(), QStringLiteral("passed"));

    // The same run in the line's yield, slot by slot, and its one kind of failure.
    const QJsonObject yield =
        ledger({"report", "--ledger", sqliteUrl(), "--by", "slot"}).first().toObject();
    QStringList bySlot;
    for (const QJsonValue &group : yield.value("groups").toArray()) {
        const QJsonObject slot = group.toObject();
        bySlot << QStringLiteral("%1 %2/%3/%4/%5")
                      .arg(slot.value("slot").toString())
                      .arg(slot.value("units").toInt())
                      .arg(slot.value("first_pass").toInt())
                      .arg(slot.value("passed").toInt())
                      .arg(slot.value("retests").toInt());
    }
    QCOMPARE(bySlot, QStringList({"COM1 1/1/1/0", "COM2 3/1/1/0"}));
    QCOMPARE(yield.value("failures").toArray(),
             QJsonArray({QJsonObject{
                 {"step", "write:pin"}, {"error", "error-reply"}, {"count", 2}, {"share", 1}}}));
}

// Four slots and their totals in a terminal of four rows and 40 columns: every redraw goes back
// no further than its own first line, and no line wraps, Chinese names included.
void TestE2eStation::liveViewStaysInAShortTerminal() {
    startUnits(4);
    const QStringList arguments{"COM1",     "COM2",      "COM3",      "COM4",
                                "--batch",  "short",     "--set",     "name=测试-{seq}",
                                "--ledger", sqliteUrl(), "--station", "bench-7"};
    QList<QByteArray> words{PAIRWICK_CLI_PATH, "station"};
    for (const QString &argument : arguments)
        words.append(argument.toUtf8());
    QList<QByteArray> settings;
    for (const QString &entry : environment().toStringList())
        settings.append(entry.toUtf8());
    // Pointers into the lists, made before the fork: the child only calls execve.
    const auto pointers = [](QList<QByteArray> &texts) {
        std::vector<char *> list;
        for (QByteArray &text : texts)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char *> argv = pointers(words);
    std::vector<char *> envp = pointers(settings);
    winsize size{4, 40, 0, 0};
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, &size);
    QVERIFY(pid >= 0);
    if (pid == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    QByteArray shown;
    const auto readFor = [&](int milliseconds) {
        const QDeadlineTimer deadline(milliseconds);
        char buffer[4096];
        while (!deadline.hasExpired()) {
            pollfd ready{terminal, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const ssize_t got = ::read(terminal, buffer, sizeof buffer);
            if (got <= 0)
                return;
            shown.append(buffer, got);
        }
    };
    QTRY_VERIFY_WITH_TIMEOUT((readFor(100), shown.count("PASS") >= 4), PatienceMs);
    ::kill(pid, SIGTERM);
    readFor(1000);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    ::close(terminal);

    static const QRegularExpression up(QStringLiteral("\x1b\\[(\\d+)A"));
    for (auto match = up.globalMatch(QString::fromUtf8(shown)); match.hasNext();)
        QVERIFY2(match.next().captured(1).toInt() <= 3, shown.constData());
    static const QRegularExpression controls(QStringLiteral("\x1b\\[\\d*[A-Za-z]|\r"));
    for (const QByteArray &line : shown.split('\n')) {
        const QString text = QString::fromUtf8(line).remove(controls);
        // A Chinese character takes two columns.
        const auto wide = std::count_if(text.cbegin(), text.cend(), [](QChar c) {
            return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
        });
        QVERIFY2(text.size() + wide < 40, qPrintable(text));
    }
    QVERIFY2(shown.contains("more not shown"), shown.constData());
}
