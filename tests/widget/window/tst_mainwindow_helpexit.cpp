// SPDX-License-Identifier: GPL-3.0-or-later
// Help and Exit: one About dialog at a time, and an exit that ends at once without a word to the
// adapter.
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "about/frmabout.h"
#include "tst_mainwindow.h"
#include "windowharness.h"

using pairwick::fakes::WindowHarness;

void TestMainWindow::helpShowsOneAboutDialogAtATime() {
    WindowHarness harness;
    harness.click("Command5");
    QPointer<QDialog> first = harness.form->aboutDialog();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    harness.click("Command5");
    QCOMPARE(harness.form->aboutDialog(), first.data());
    QCOMPARE(harness.statuses, QStringList());
    QVERIFY(harness.boxes.shown().isEmpty());

    first->close();
    QTRY_VERIFY(!first);
    harness.click("Command5");
    QPointer<QDialog> second = harness.form->aboutDialog();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QCOMPARE(second->windowTitle(), QStringLiteral("关于 Pairwick"));
    second->close();
}

void TestMainWindow::exitEndsAtOnceAndSendsNothing() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.port.written();
    const qsizetype sentBefore = harness.port.written().size();
    harness.click("Command5");
    QPointer<QDialog> about = harness.form->aboutDialog();
    QSignalSpy exitRequested(harness.form.get(), &pairwick::window::Form1::exitRequested);
    harness.click("Command6");
    QCOMPARE(exitRequested.count(), 1);
    QVERIFY(!harness.form->isVisible());
    QTRY_VERIFY(!about);
    QVERIFY(!harness.port.isOpen());
    QCOMPARE(harness.port.written().size(), sentBefore);
    QVERIFY(harness.boxes.shown().isEmpty());
}

void TestMainWindow::closingMainWindowLeavesAboutOpen() {
    WindowHarness harness;
    harness.click("Command5");
    QPointer<QDialog> about = harness.form->aboutDialog();
    harness.form->close();
    QVERIFY(!harness.form->isVisible());
    QVERIFY(about);
    QVERIFY(about->isVisible());
    about->close();
}
