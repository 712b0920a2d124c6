// SPDX-License-Identifier: GPL-3.0-or-later
// The About dialog as a screen reader walks it: its pictures, title, address and button named.
#include <QLabel>
#include <QTest>

#include "about/apptitle.h"
#include "tst_accessibility.h"

using pairwick::accessibility::test::nameOf;
using pairwick::accessibility::test::Walk;
using pairwick::accessibility::test::walk;

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
