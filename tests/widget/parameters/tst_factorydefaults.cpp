// SPDX-License-Identifier: GPL-3.0-or-later
// Default: the factory reset and the read that follows it.
#include <QTest>

#include "parameterview.h"

using pairwick::fakes::ScriptedAdapter;
using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

namespace {

const QString Resetting = QStringLiteral("正在恢复出厂默认设置......");
const QString Rereading =
    QStringLiteral("蓝牙模块参数已恢复成出厂默认设置，并将重新读取蓝牙模块的参数......");
const QString Restored = QStringLiteral("蓝牙模块参数已恢复成出厂默认设置！");
const QString Failed = QStringLiteral("恢复出厂默认设置时失败！");
const QString Question = QStringLiteral("恢复出厂默认设置时失败，是否继续？");

// Connects to an adapter whose settings differ from the factory's, then clicks Default.
RunRecord connectAndRestore(WindowHarness &harness,
                            const std::function<void(WindowHarness &)> &before = {}) {
    harness.adapter.name = QStringLiteral("Changed");
    harness.adapter.pin = QStringLiteral("0000");
    return connectThenClick(harness, "Command4", before);
}

}  // namespace

class TestFactoryDefaults : public QObject {
    Q_OBJECT

private slots:
    void acknowledgedResetRereadsTheFactoryValues();
    void unacknowledgedReset_data();
    void unacknowledgedReset();
    void readStoppedByNoStillEndsRestored();
    void notConnectedAndCancel();
    void deviceLeavingDuringTheResetCommand();
    void deviceLeavingDuringTheReread();
};

void TestFactoryDefaults::acknowledgedResetRereadsTheFactoryValues() {
    WindowHarness harness;
    const RunRecord record = connectAndRestore(harness);
    QCOMPARE(record.lines,
             QStringList({"AT+DEFAULT", "AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                          "AT+MSGENABLE?", "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"}));
    // The command's second, three seconds to settle, eight for the read.
    QCOMPARE(record.waits, 12);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Confirmation),
             QStringList({"本操作将把蓝牙模块的参数恢复成出厂默认设置，继续吗？"}));
    QCOMPARE(harness.statuses, QStringList({Resetting, Rereading, "正在读取蓝牙参数......",
                                            "参数读取结束！", Restored}));
    const ParameterView view{harness};
    QCOMPARE(view.text("Text2"), ScriptedAdapter().name);
    QCOMPARE(view.text("Text4"), ScriptedAdapter().pin);
    QVERIFY(!harness.progressShown());
}

void TestFactoryDefaults::unacknowledgedReset_data() {
    QTest::addColumn<bool>("goOn");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestFactoryDefaults::unacknowledgedReset() {
    QFETCH(bool, goOn);
    WindowHarness harness;
    const RunRecord record = connectAndRestore(harness, [goOn](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+DEFAULT"), QStringLiteral("AT+DEFAULT\r\nERROR\r\n"));
        h.boxes.answerQuestions({goOn});
    });
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion),
             QStringList({Question}));
    if (goOn) {
        QCOMPARE(record.lines.size(), 9);
        QCOMPARE(harness.statuses.first(), Resetting);
        QCOMPARE(harness.statuses.last(), Restored);
        return;
    }
    QCOMPARE(record.lines, QStringList({"AT+DEFAULT"}));
    QCOMPARE(harness.statuses, QStringList({Resetting, Failed}));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
    // The fields keep what the connect read.
    QCOMPARE(ParameterView{harness}.text("Text2"), QStringLiteral("Changed"));
}

void TestFactoryDefaults::readStoppedByNoStillEndsRestored() {
    WindowHarness harness;
    const RunRecord record = connectAndRestore(harness, [](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+VER?"), QString());
        h.boxes.answerQuestions({false});
    });
    QCOMPARE(record.lines.size(), 3);
    QCOMPARE(harness.statuses.mid(harness.statuses.size() - 2),
             QStringList({"读取 [固件版本号] 时失败！", Restored}));
    const ParameterView view{harness};
    QCOMPARE(view.text("Text2"), ScriptedAdapter().name);
    QVERIFY(view.text("Text4").isEmpty());
}

void TestFactoryDefaults::notConnectedAndCancel() {
    WindowHarness harness;
    harness.click("Command4");
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"请先点击“连接”按钮！"}));
    QVERIFY(harness.statuses.isEmpty());

    harness.connectAdapter();
    const qsizetype before = harness.port.written().size();
    harness.boxes.answerConfirmations({false});
    harness.click("Command4");
    QCOMPARE(harness.statuses, QStringList({"准备"}));
    QVERIFY(harness.progress.isEmpty());
    QCOMPARE(harness.port.written().size(), before);
    QCOMPARE(ParameterView{harness}.text("Text2"), harness.adapter.name);
}

void TestFactoryDefaults::deviceLeavingDuringTheResetCommand() {
    WindowHarness harness;
    const RunRecord record = connectAndRestore(
        harness, [](WindowHarness &h) { h.port.vanishOnWrite(h.port.written().size() + 1); });
    QCOMPARE(record.lines, QStringList({"AT+DEFAULT"}));
    QCOMPARE(harness.statuses, QStringList({Resetting, Failed}));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    const ParameterView view{harness};
    QCOMPARE(view.caption(), QStringLiteral("连接"));
    QCOMPARE(view.text("Text2"), QStringLiteral("Changed"));
    QVERIFY(!harness.progressShown());
}

void TestFactoryDefaults::deviceLeavingDuringTheReread() {
    WindowHarness harness;
    const RunRecord record = connectAndRestore(
        harness, [](WindowHarness &h) { h.port.vanishOnWrite(h.port.written().size() + 3); });
    QCOMPARE(record.lines.size(), 3);
    // The run failed: no claim that the factory values are shown.
    QCOMPARE(harness.statuses.last(), QStringLiteral("读取 [固件版本号] 时失败！"));
    QVERIFY(!harness.statuses.contains(Restored));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning).size(), 1);
    QCOMPARE(ParameterView{harness}.caption(), QStringLiteral("连接"));
    QVERIFY(!harness.progressShown());
}

QTEST_MAIN(TestFactoryDefaults)
#include "tst_factorydefaults.moc"
