// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user first sees it: where each control sits, what it reads and what it
// holds before anything is done.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "tst_mainwindow.h"
#include "windowharness.h"

using pairwick::fakes::WindowHarness;

void TestMainWindow::controlGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    // Positions in twips as the layout gives them, relative to each control's container.
    const QList<std::pair<const char *, QRect>> table{
        {"Frame1", {240, 240, 6375, 735}},     {"Label1", {360, 270, 855, 255}},
        {"Combo1", {1080, 240, 1095, 300}},    {"Text1", {2640, 240, 1575, 270}},
        {"Command1", {5040, 240, 975, 375}},   {"Frame2", {240, 1320, 6375, 1935}},
        {"Label3", {120, 375, 975, 255}},      {"Text2", {1080, 360, 2055, 270}},
        {"Label4", {3360, 368, 1095, 255}},    {"Text3", {4440, 360, 1815, 270}},
        {"Label5", {360, 870, 735, 255}},      {"Combo2", {1080, 840, 1215, 300}},
        {"Label6", {2640, 863, 735, 255}},     {"Combo3", {3360, 840, 1095, 300}},
        {"Label7", {4800, 863, 735, 255}},     {"Combo4", {5520, 840, 735, 300}},
        {"Option1", {240, 1440, 855, 255}},    {"Option2", {1440, 1440, 855, 255}},
        {"Check1", {2640, 1440, 1455, 255}},   {"Label8", {4320, 1455, 735, 255}},
        {"Text4", {4920, 1440, 1335, 270}},    {"Frame3", {240, 3600, 6375, 1335}},
        {"Label9", {120, 368, 1335, 255}},     {"Text5", {1440, 360, 3855, 270}},
        {"Label10", {120, 848, 1335, 255}},    {"Text6", {1440, 840, 3855, 270}},
        {"Command2", {240, 5160, 975, 375}},   {"Command3", {1590, 5160, 975, 375}},
        {"Command4", {2940, 5160, 975, 375}},  {"Command5", {4290, 5160, 975, 375}},
        {"Command6", {5640, 5160, 975, 375}},  {"StatusBar1", {0, 5730, 6870, 300}},
        {"ProgressBar1", {0, 5760, 6855, 255}}};
    for (const auto &[name, twips] : table)
        QTest::newRow(name) << QString::fromLatin1(name) << twips;
}

void TestMainWindow::controlGeometry() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    WindowHarness harness;
    auto *widget = harness.form->findChild<QWidget *>(name);
    QVERIFY(widget);
    const auto pixels = [](int value) { return qRound(value / 15.0); };
    QCOMPARE(widget->geometry(), QRect(pixels(twips.x()), pixels(twips.y()), pixels(twips.width()),
                                       pixels(twips.height())));
}

void TestMainWindow::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<std::pair<const char *, const char *>> table{
        {"Frame1", "连接参数"},       {"Label1", "通讯口："},        {"Text1", "串口已关闭！"},
        {"Command1", "连接"},         {"Frame2", "基本设置"},        {"Label3", "设备名称："},
        {"Label4", "固件版本号："},   {"Label5", "波特率："},        {"Label6", "校验位："},
        {"Label7", "停止位："},       {"Option1", "主设备"},         {"Option2", "从设备"},
        {"Check1", "串口提示信息"},   {"Label8", "PIN码："},         {"Frame3", "绑定设置"},
        {"Label9", "本地蓝牙地址："}, {"Label10", "绑定从端地址："}, {"Command2", "查询"},
        {"Command3", "保存"},         {"Command4", "默认"},          {"Command5", "帮助"},
        {"Command6", "退出"}};
    for (const auto &[name, caption] : table)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
}

void TestMainWindow::captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    WindowHarness harness;
    QObject *control = harness.form->findChild<QObject *>(name);
    QVERIFY(control);
    const char *property = qobject_cast<QGroupBox *>(control) ? "title" : "text";
    QCOMPARE(control->property(property).toString(), caption);
}

void TestMainWindow::windowFrame() {
    WindowHarness harness;
    auto &form = *harness.form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Tarnholt蓝牙串口设置工具  Ver 1.2"));
    QCOMPARE(form.size(), QSize(458, 402));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(24, 24));
}

void TestMainWindow::startState() {
    WindowHarness harness;
    auto *ports = harness.find<QComboBox>("Combo1");
    QCOMPARE(ports->count(), 16);
    QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(ports->itemText(15), QStringLiteral("COM16"));
    QCOMPARE(ports->currentText(), QStringLiteral("COM1"));
    QCOMPARE(harness.find<QStatusBar>("StatusBar1")->currentMessage(), QStringLiteral("准备"));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->minimum(), 0);
    QCOMPARE(harness.progressBar()->maximum(), 100);
    auto *timer = harness.form->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    for (const char *name : {"Text2", "Text3", "Text4", "Text5", "Text6"})
        QVERIFY2(harness.find<QLineEdit>(name)->text().isEmpty(), name);
    QVERIFY(!harness.find<QRadioButton>("Option1")->isChecked());
    QVERIFY(!harness.find<QRadioButton>("Option2")->isChecked());
    QCOMPARE(harness.find<QCheckBox>("Check1")->checkState(), Qt::Unchecked);
    QVERIFY(!harness.find<QLineEdit>("Text6")->isReadOnly());
    QCOMPARE(harness.port.openCount(), 0);
    QVERIFY(harness.port.written().isEmpty());
}

void TestMainWindow::readOnlyBoxesSitOnButtonFace_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("Text1") << "Text1" << true;
    QTest::newRow("Text2") << "Text2" << false;
    QTest::newRow("Text3") << "Text3" << true;
    QTest::newRow("Text4") << "Text4" << false;
    QTest::newRow("Text5") << "Text5" << true;
    QTest::newRow("Text6") << "Text6" << false;
}

void TestMainWindow::readOnlyBoxesSitOnButtonFace() {
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    WindowHarness harness;
    auto *box = harness.form->findChild<QLineEdit *>(name);
    QCOMPARE(box->isReadOnly(), readOnly);
    const QPalette system = QApplication::palette();
    QCOMPARE(box->palette().color(QPalette::Base),
             system.color(readOnly ? QPalette::Button : QPalette::Base));
}

void TestMainWindow::startListsHoldTheirEntries() {
    WindowHarness harness;
    const auto entries = [](QComboBox *list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->itemText(i));
        return texts;
    };
    QCOMPARE(entries(harness.find<QComboBox>("Combo2")),
             QStringList({"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600",
                          "115200", "230400", "256000", "460800"}));
    QCOMPARE(entries(harness.find<QComboBox>("Combo3")),
             QStringList({"None 无", "Odd  奇", "Even 偶"}));
    QCOMPARE(entries(harness.find<QComboBox>("Combo4")), QStringList({"1", "2"}));
    for (const char *name : {"Combo2", "Combo3", "Combo4"}) {
        QCOMPARE(harness.find<QComboBox>(name)->currentIndex(), -1);
        QVERIFY(harness.find<QComboBox>(name)->currentText().isEmpty());
    }
}

QTEST_MAIN(TestMainWindow)
