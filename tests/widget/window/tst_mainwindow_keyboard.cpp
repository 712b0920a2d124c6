// SPDX-License-Identifier: GPL-3.0-or-later
// The window's limits from the keyboard: the focus order, how much each box takes, which boxes
// take nothing, and where Enter goes.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "about/frmabout.h"
#include "tst_mainwindow.h"
#include "windowharness.h"

using pairwick::fakes::WindowHarness;

void TestMainWindow::tabOrderAndFirstFocus() {
    WindowHarness harness;
    harness.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(harness.form.get()));
    const QStringList expected{"Text5",    "Text6",    "Text2",    "Text3",    "Option1",
                               "Option2",  "Text4",    "Combo1",   "Text1",    "Command1",
                               "Check1",   "Command2", "Command3", "Command4", "Command5",
                               "Command6", "Combo4",   "Combo3",   "Combo2"};
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.first());
    QStringList chain;
    QWidget *widget = harness.find<QWidget>("Text5");
    for (int i = 0; i < expected.size(); ++i) {
        chain.append(widget->objectName());
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(harness.form.get()));
    }
    QCOMPARE(chain, expected);
    QCOMPARE(widget->objectName(), expected.first());
}

void TestMainWindow::lengthLimits_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("how");
    for (const auto &[name, limit] : {std::pair{"Text2", 20}, std::pair{"Text4", 10}}) {
        for (const char *how : {"typed", "pasted", "assigned"})
            QTest::addRow("%s %s", name, how) << QString::fromLatin1(name) << limit << how;
    }
}

void TestMainWindow::lengthLimits() {
    QFETCH(QString, name);
    QFETCH(int, limit);
    QFETCH(QString, how);
    WindowHarness harness;
    auto *box = harness.form->findChild<QLineEdit *>(name);
    const QString longText = QStringLiteral("蓝牙设备名称ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    box->setFocus();
    if (how == u"typed") {
        for (const QChar character : longText)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
    } else if (how == u"pasted") {
        QApplication::clipboard()->setText(longText);
        box->paste();
    } else {
        box->setText(longText);
    }
    QCOMPARE(box->text(), longText.left(limit));
}

void TestMainWindow::readOnlyBoxesRefuseTyping_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("Text1") << "Text1";
    QTest::newRow("Text3") << "Text3";
    QTest::newRow("Text5") << "Text5";
}

void TestMainWindow::readOnlyBoxesRefuseTyping() {
    QFETCH(QString, name);
    WindowHarness harness;
    auto *box = harness.form->findChild<QLineEdit *>(name);
    const QString before = box->text();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("abc"));
    QCOMPARE(box->text(), before);
}

void TestMainWindow::enterPressesConnectUnlessAButtonHasFocus() {
    WindowHarness harness;
    harness.find<QLineEdit>("Text2")->setFocus();
    QTest::keyClick(harness.find<QLineEdit>("Text2"), Qt::Key_Return);
    QTRY_COMPARE(harness.port.openCount(), 1);

    WindowHarness other;
    auto *help = other.find<QPushButton>("Command5");
    help->setFocus();
    QTest::keyClick(help, Qt::Key_Return);
    QTRY_VERIFY(other.form->aboutDialog());
    QCOMPARE(other.port.openCount(), 0);
    other.form->aboutDialog()->close();
}
