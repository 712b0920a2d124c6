// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds when it walks the main window and the About dialog: every control
// reachable from its window, named by its caption, with its role and its value.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "about/apptitle.h"
#include "about/frmabout.h"
#include "accessibility/accessibility.h"
#include "accessibility/accessibilitynames.h"
#include "accessibletree.h"
#include "notificationrecorder.h"
#include "window/form1.h"
#include "windowharness.h"

using pairwick::fakes::NotificationRecorder;
using pairwick::fakes::WindowHarness;

namespace {

// Every accessible object reachable from `window` by child navigation, keyed by its widget's
// object name; nameless helpers (a list's rows, a combo box's popup) are walked but not kept.
struct Walk {
    QHash<QString, QAccessibleInterface *> byName;
    int nodes = 0;
};

Walk walk(QObject *window) {
    Walk result;
    const QList<QAccessibleInterface *> tree = pairwick::fakes::accessibleTree(window);
    result.nodes = int(tree.size());
    for (QAccessibleInterface *node : tree) {
        if (QObject *object = node->object(); object && !object->objectName().isEmpty())
            result.byName.insert(object->objectName(), node);
    }
    return result;
}

QString nameOf(QAccessibleInterface *node) {
    return node->text(QAccessible::Name);
}

QString valueOf(QAccessibleInterface *node) {
    return node->text(QAccessible::Value);
}

QStringList labelNames(QAccessibleInterface *field) {
    QStringList names;
    const auto relations = field->relations(QAccessible::Label);
    for (const auto &relation : relations)
        names.append(nameOf(relation.first));
    return names;
}

}  // namespace

Q_DECLARE_METATYPE(QAccessible::Role)

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void spokenCaptionDropsTheClosingColon_data();
    void spokenCaptionDropsTheClosingColon();

    void windowIsAnnouncedAsAWindow();
    void controlsAreNamedByTheirCaptions_data();
    void controlsAreNamedByTheirCaptions();
    void fieldsAreLabelledByTheirCaptions_data();
    void fieldsAreLabelledByTheirCaptions();
    void everyControlHasAName();
    void listsReadTheirChoiceAsValue();
    void connectionStatusReadsItsTextAsValue();
    void statusLineReadsTheCurrentStatus();
    void statusOutcomesAreNotified();
    void progressBarOffersItsRange();
    void aboutDialogControlsAreNamed_data();
    void aboutDialogControlsAreNamed();
    void aboutDialogHasNoNamelessControl();

private:
    std::unique_ptr<WindowHarness> m_harness;
    Walk m_walk;

    QAccessibleInterface *node(const QString &objectName) const;
    QPointer<QDialog> openAbout();
};

void TestAccessibility::initTestCase() {
    pairwick::accessibility::installAccessibility({&pairwick::window::Form1::staticMetaObject});
}

void TestAccessibility::init() {
    m_harness = std::make_unique<WindowHarness>();
    m_walk = walk(m_harness->form.get());
    QVERIFY2(m_walk.nodes < pairwick::fakes::MostAccessibleNodes, "the walk does not end");
}

void TestAccessibility::cleanup() {
    if (QDialog *about = m_harness->form->aboutDialog())
        delete about;
    m_walk = {};
    m_harness.reset();
}

QAccessibleInterface *TestAccessibility::node(const QString &objectName) const {
    return m_walk.byName.value(objectName);
}

QPointer<QDialog> TestAccessibility::openAbout() {
    m_harness->click("Command5");
    return m_harness->form->aboutDialog();
}

void TestAccessibility::spokenCaptionDropsTheClosingColon_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("full-width colon") << "设备名称："
                                      << "设备名称";
    QTest::newRow("ASCII colon") << "PIN:"
                                 << "PIN";
    QTest::newRow("colon and spaces") << " 波特率： "
                                      << "波特率";
    QTest::newRow("no colon") << "主设备"
                              << "主设备";
    QTest::newRow("colon inside stays") << "地址：本地"
                                        << "地址：本地";
    QTest::newRow("only a colon") << "："
                                  << "";
}

void TestAccessibility::spokenCaptionDropsTheClosingColon() {
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QCOMPARE(pairwick::accessibility::spokenCaption(caption), spoken);
}

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

void TestAccessibility::listsReadTheirChoiceAsValue() {
    m_harness->connectAdapter();
    const std::pair<const char *, QString> choices[] = {
        {"Combo2", m_harness->adapter.baudRate},
        {"Combo3", QStringLiteral("Even 偶")},
        {"Combo4", m_harness->adapter.stopBits},
    };
    for (const auto &[list, choice] : choices) {
        QAccessibleInterface *control = node(QString::fromLatin1(list));
        QVERIFY(control);
        QCOMPARE(control->role(), QAccessible::ComboBox);
        QCOMPARE(valueOf(control), choice);
    }
    QCOMPARE(valueOf(node(QStringLiteral("Combo1"))),
             m_harness->find<QComboBox>("Combo1")->currentText());
}

void TestAccessibility::connectionStatusReadsItsTextAsValue() {
    QAccessibleInterface *status = node(QStringLiteral("Text1"));
    QVERIFY(status);
    QCOMPARE(valueOf(status), QStringLiteral("串口已关闭！"));
    m_harness->connectAdapter();
    m_harness->clock.advance(65);
    m_harness->tickLinkClock();
    const QString shown = m_harness->find<QLineEdit>("Text1")->text();
    QVERIFY(shown != QStringLiteral("串口已关闭！"));
    QCOMPARE(valueOf(status), shown);
    QCOMPARE(nameOf(status), QStringLiteral("连接状态"));
}

void TestAccessibility::statusLineReadsTheCurrentStatus() {
    QAccessibleInterface *line = node(QStringLiteral("StatusBar1"));
    QVERIFY(line);
    QCOMPARE(line->role(), QAccessible::StatusBar);
    QCOMPARE(nameOf(line), QStringLiteral("准备"));

    m_harness->click("Command1");
    const QString current = m_harness->find<QStatusBar>("StatusBar1")->currentMessage();
    QCOMPARE(current, QStringLiteral("参数读取结束！"));
    QCOMPARE(nameOf(line), current);

    m_harness->click("Command1");
    QCOMPARE(nameOf(line), QStringLiteral("串口已关闭！"));
}

void TestAccessibility::statusOutcomesAreNotified() {
    const QWidget *focused = QApplication::focusWidget();
    m_harness->adapter.baudRate = QStringLiteral("300");
    NotificationRecorder notifications;
    qApp->installEventFilter(&notifications);
    m_harness->click("Command1");
    // Refused twice: the second "准备" is no news.
    m_harness->boxes.answerConfirmations({false, false});
    m_harness->click("Command3");
    m_harness->click("Command3");

    QCOMPARE(notifications.shown, m_harness->statuses);
    QVERIFY(notifications.shown.contains(QStringLiteral("UART波特率错误！")));
    QCOMPARE(notifications.shown.mid(notifications.shown.size() - 2),
             QStringList({QStringLiteral("参数读取结束！"), QStringLiteral("准备")}));
    QCOMPARE(QApplication::focusWidget(), focused);
}

void TestAccessibility::progressBarOffersItsRange() {
    QAccessibleInterface *bar = node(QStringLiteral("ProgressBar1"));
    QVERIFY(bar);
    QAccessibleValueInterface *value = bar->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 100);
    QCOMPARE(value->currentValue().toInt(), 0);
}

void TestAccessibility::aboutDialogControlsAreNamed_data() {
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("logo") << "Image1" << QAccessible::Graphic << "Pairwick 标志";
    QTest::newRow("icon") << "Image2" << QAccessible::Graphic << "Pairwick 图标";
    QTest::newRow("title") << "lblTitle" << QAccessible::StaticText
                           << pairwick::about::applicationTitle();
    QTest::newRow("address") << "Label1" << QAccessible::StaticText
                             << "网址 https://tarnholt.example/";
    QTest::newRow("OK") << "cmdOK" << QAccessible::Button << "确定";
}

void TestAccessibility::aboutDialogControlsAreNamed() {
    QFETCH(QString, objectName);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QPointer<QDialog> about = openAbout();
    QVERIFY(about);
    const Walk dialog = walk(about);
    QAccessibleInterface *control = dialog.byName.value(objectName);
    QVERIFY2(control, "not reachable from the dialog");
    QCOMPARE(control->role(), role);
    QCOMPARE(nameOf(control), name);
}

// Texts are read by their own words; only the etched rules are decoration.
void TestAccessibility::aboutDialogHasNoNamelessControl() {
    QPointer<QDialog> about = openAbout();
    QVERIFY(about);
    const Walk dialog = walk(about);
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(about);
    QCOMPARE(window->role(), QAccessible::Dialog);
    QCOMPARE(nameOf(window), about->windowTitle());
    int named = 0;
    for (auto it = dialog.byName.cbegin(); it != dialog.byName.cend(); ++it) {
        if (it.value()->role() == QAccessible::Border || it.value() == window)
            continue;
        QVERIFY2(!nameOf(it.value()).isEmpty(), qPrintable(it.key()));
        if (auto *label = qobject_cast<QLabel *>(it.value()->object());
            label && !label->text().isEmpty() && label->accessibleName().isEmpty())
            QCOMPARE(nameOf(it.value()), label->text());
        ++named;
    }
    QCOMPARE(named, 9);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
