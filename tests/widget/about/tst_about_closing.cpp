// SPDX-License-Identifier: GPL-3.0-or-later
// Focus and the ways out: the dialog deletes itself however it is closed.
#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include "tst_about.h"

void TestAbout::onlyOkTakesFocus() {
    QWidget *ok = control("cmdOK");
    const auto widgets = m_dialog->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (widget != ok) {
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
        }
    }
    QVERIFY(qobject_cast<QPushButton *>(ok)->isDefault());

    QVERIFY(showDialog());
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
}

void TestAbout::closingKeysCloseAndDeleteTheDialog_data() {
    QTest::addColumn<Qt::Key>("key");

    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter") << Qt::Key_Enter;
    QTest::newRow("Escape") << Qt::Key_Escape;
}

void TestAbout::closingKeysCloseAndDeleteTheDialog() {
    QFETCH(Qt::Key, key);

    QVERIFY(showDialog());
    QTest::keyClick(QApplication::focusWidget(), key);
    QTRY_VERIFY(m_dialog.isNull());
    QVERIFY(m_launcher.calls.isEmpty());
}

void TestAbout::okButtonClosesAndDeletesTheDialog() {
    QVERIFY(showDialog());
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAbout::closeButtonClosesAndDeletesTheDialog() {
    QVERIFY(showDialog());
    QVERIFY(m_dialog->close());
    QTRY_VERIFY(m_dialog.isNull());
}
