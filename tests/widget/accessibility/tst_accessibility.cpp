// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds when it walks the main window and the About dialog: every control
// reachable from its window, named by its caption, with its role and its value. Here the walk
// every group reads from, and the spoken form of a caption.
#include <QTest>

#include "about/frmabout.h"
#include "accessibility/accessibility.h"
#include "accessibility/accessibilitynames.h"
#include "accessibletree.h"
#include "tst_accessibility.h"
#include "window/form1.h"

using pairwick::fakes::WindowHarness;

namespace pairwick::accessibility::test {

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

}  // namespace pairwick::accessibility::test

using pairwick::accessibility::test::walk;

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

QTEST_MAIN(TestAccessibility)
