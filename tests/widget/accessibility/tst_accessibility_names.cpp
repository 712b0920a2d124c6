// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a screen reader names it: a window, and every control by its caption, so
// nothing is read out as a bare "button" or "edit".
#include <QRegularExpression>
#include <QTest>

#include "tst_accessibility.h"

using pairwick::accessibility::test::labelNames;
using pairwick::accessibility::test::nameOf;

void TestAccessibility::windowIsAnnouncedAsAWindow() {
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_harness->form.get());
    QVERIFY(window);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(nameOf(window), QStringLiteral("Tarnholt蓝牙串口设置工具  Ver 1.2"));
}

void TestAccessibility::controlsAreNamedByTheirCaptions_data() {
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    const struct {
        const char *objectName;
        QAccessible::Role role;
        const char *name;
    } rows[] = {
        {"Frame1", QAccessible::Grouping, "连接参数"},
        {"Frame2", QAccessible::Grouping, "基本设置"},
        {"Frame3", QAccessible::Grouping, "绑定设置"},
        {"Text1", QAccessible::EditableText, "连接状态"},
        {"Text2", QAccessible::EditableText, "设备名称"},
        {"Text3", QAccessible::EditableText, "固件版本号"},
        {"Text4", QAccessible::EditableText, "PIN码"},
        {"Text5", QAccessible::EditableText, "本地蓝牙地址"},
        {"Text6", QAccessible::EditableText, "绑定从端地址"},
        {"Command1", QAccessible::Button, "连接"},
        {"Command2", QAccessible::Button, "查询"},
        {"Command3", QAccessible::Button, "保存"},
        {"Command4", QAccessible::Button, "默认"},
        {"Command5", QAccessible::Button, "帮助"},
        {"Command6", QAccessible::Button, "退出"},
        {"Option1", QAccessible::RadioButton, "主设备"},
        {"Option2", QAccessible::RadioButton, "从设备"},
        {"Check1", QAccessible::CheckBox, "串口提示信息"},
        {"ProgressBar1", QAccessible::ProgressBar, "进度"},
        {"StatusBar1", QAccessible::StatusBar, "准备"},
        {"Label1", QAccessible::StaticText, "通讯口"},
        {"Label3", QAccessible::StaticText, "设备名称"},
        {"Label8", QAccessible::StaticText, "PIN码"},
        {"Label10", QAccessible::StaticText, "绑定从端地址"},
    };
    for (const auto &row : rows) {
        QTest::newRow(row.objectName)
            << QString::fromLatin1(row.objectName) << row.role << QString::fromUtf8(row.name);
    }
}

void TestAccessibility::controlsAreNamedByTheirCaptions() {
    QFETCH(QString, objectName);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QAccessibleInterface *control = node(objectName);
    QVERIFY2(control, "not reachable from the window");
    QCOMPARE(control->role(), role);
    QCOMPARE(nameOf(control), name);
}

void TestAccessibility::fieldsAreLabelledByTheirCaptions_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption");
    const struct {
        const char *field;
        const char *caption;
    } rows[] = {
        {"Combo1", "通讯口"}, {"Text2", "设备名称"},     {"Text3", "固件版本号"},
        {"Combo2", "波特率"}, {"Combo3", "校验位"},      {"Combo4", "停止位"},
        {"Text4", "PIN码"},   {"Text5", "本地蓝牙地址"}, {"Text6", "绑定从端地址"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.field) << QString::fromLatin1(row.field)
                                 << QString::fromUtf8(row.caption);
}

// Screen readers on Linux read a list by the label it points to, and its choice as its name.
void TestAccessibility::fieldsAreLabelledByTheirCaptions() {
    QFETCH(QString, field);
    QFETCH(QString, caption);
    QAccessibleInterface *control = node(field);
    QVERIFY2(control, "not reachable from the window");
    QVERIFY2(labelNames(control).contains(caption), qPrintable(labelNames(control).join(u'|')));
}

void TestAccessibility::everyControlHasAName() {
    const auto widgets = m_harness->form->findChildren<QWidget *>(
        QRegularExpression(QStringLiteral("^(Frame|Label|Text|Combo|Command|Option|Check|"
                                          "StatusBar|ProgressBar)\\d+$")));
    QCOMPARE(widgets.size(), 33);
    for (QWidget *widget : widgets) {
        QAccessibleInterface *control = node(widget->objectName());
        QVERIFY2(control, qPrintable(widget->objectName() + QStringLiteral(" not reachable")));
        QVERIFY2(!nameOf(control).isEmpty(), qPrintable(widget->objectName()));
    }
}
