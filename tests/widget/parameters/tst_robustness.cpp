// SPDX-License-Identifier: GPL-3.0-or-later
// The operations under stress: clicks on every button during every wait, and the adapter
// vanishing at every step of every operation.
#include <QTest>

#include "about/frmabout.h"
#include "parameterview.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

namespace {

struct Operation {
    const char *button;
    QStringList lines;     // what the operation writes when all goes well (adapter in master role)
    QStringList failures;  // the status text after a fault at each line
};

const QStringList ReadLines{"AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                            "AT+MSGENABLE?",  "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"};
const QStringList ReadFailures{"读取 [设备名称] 时失败！",     "读取 [固件版本号] 时失败！",
                               "读取 [UART参数] 时失败！",     "读取 [设备的主从角色] 时失败！",
                               "读取 [串口提示信息] 时失败！", "读取 [PIN码] 时失败！",
                               "读取 [本地蓝牙地址] 时失败！", "读取 [绑定从端地址] 时失败！"};

Operation operation(const QString &name) {
    if (name == u"query")
        return {"Command2", ReadLines, ReadFailures};
    if (name == u"save") {
        return {"Command3",
                {"AT+DEVICENAME=Pairwick-01", "AT+UARTBAUDRATE=115200", "AT+UARTPARITY=E",
                 "AT+UARTSTOP=2", "AT+ROLE=1", "AT+MSGENABLE=1", "AT+PIN=4321",
                 "AT+BINDADDR0=0E12:34:56789A"},
                {"保存 [设备名称] 时失败！", "保存 [波特率] 时失败！", "保存 [校验位] 时失败！",
                 "保存 [停止位] 时失败！", "保存 [设备的主从角色] 时失败！",
                 "保存 [串口提示信息] 时失败！", "保存 [PIN码] 时失败！",
                 "保存 [绑定从端地址] 时失败！"}};
    }
    return {"Command4", QStringList{"AT+DEFAULT"} + ReadLines,
            QStringList{"恢复出厂默认设置时失败！"} + ReadFailures};
}

// Each write is answered by exactly one read before the next write.
bool writesAndReadsAlternate(const QStringList &calls) {
    bool expectingRead = false;
    for (const QString &call : calls) {
        const bool isWrite = call.startsWith(QStringLiteral("write"));
        if (isWrite == expectingRead)
            return false;
        expectingRead = isWrite;
    }
    return !expectingRead;
}

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT

private slots:
    void clickStormDuringEachOperation_data();
    void clickStormDuringEachOperation();
    void vanishingAtEachStep_data();
    void vanishingAtEachStep();
};

void TestRobustness::clickStormDuringEachOperation_data() {
    QTest::addColumn<QString>("name");
    for (const char *name : {"query", "save", "default"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestRobustness::clickStormDuringEachOperation() {
    QFETCH(QString, name);
    const Operation op = operation(name);
    WindowHarness harness;
    harness.connectAdapter();
    const qsizetype before = harness.port.calls().size();
    harness.waiter.onWait([&harness](int) {
        for (int round = 0; round < 5; ++round) {
            for (const char *button : {"Command2", "Command3", "Command4", "Command5"})
                harness.click(button);
        }
    });
    harness.click(op.button);
    const QStringList calls = harness.port.calls().mid(before);
    QVERIFY2(writesAndReadsAlternate(calls), qPrintable(calls.join(", ")));
    QStringList lines;
    for (const QString &call : calls) {
        if (call.startsWith(QStringLiteral("write ")))
            lines.append(call.mid(6));
    }
    QCOMPARE(lines, op.lines);
    // Only the operation's own confirmation: no second run started.
    QVERIFY(harness.boxes.texts(ScriptedMessageBoxes::Style::Confirmation).size() <= 1);
    QVERIFY(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning).isEmpty());
    QVERIFY(!harness.progressShown());
    QVERIFY(harness.form->aboutDialog());
    harness.form->aboutDialog()->close();
}

void TestRobustness::vanishingAtEachStep_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("line");
    for (const char *name : {"query", "save", "default"}) {
        for (int line = 1; line <= operation(QString::fromLatin1(name)).lines.size(); ++line)
            QTest::addRow("%s, line %d", name, line) << QString::fromLatin1(name) << line;
    }
}

void TestRobustness::vanishingAtEachStep() {
    QFETCH(QString, name);
    QFETCH(int, line);
    const Operation op = operation(name);
    WindowHarness harness;
    harness.connectAdapter();
    const qsizetype before = harness.port.written().size();
    harness.port.vanishOnWrite(int(before) + line);
    harness.click(op.button);
    // Nothing is written after the device left, and the run ended cleanly.
    QCOMPARE(harness.port.writtenLines().mid(before), op.lines.mid(0, line));
    QCOMPARE(harness.statuses.last(), op.failures.at(line - 1));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    QVERIFY(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).isEmpty());
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
    const ParameterView view{harness};
    QCOMPARE(view.caption(), QStringLiteral("连接"));
    QCOMPARE(view.text("Text1"), QStringLiteral("串口已关闭！"));
    // The link can be made again at once.
    harness.click("Command1");
    QCOMPARE(view.caption(), QStringLiteral("断开"));
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
