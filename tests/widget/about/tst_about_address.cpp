// SPDX-License-Identifier: GPL-3.0-or-later
// The web address that opens a browser, and what happens when no browser starts.
#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtTest>

#include "about/browserlauncher.h"
#include "tst_about.h"

namespace {

bool anyMessageBoxShown() {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        return qobject_cast<const QMessageBox *>(window) != nullptr;
    });
}

}  // namespace

void TestAbout::addressLooksClickable() {
    const QWidget *address = control("Label1");
    QCOMPARE(address->cursor().shape(), Qt::PointingHandCursor);

    const QFont font = address->font();
    QCOMPARE(font.families().value(0), QStringLiteral("宋体"));
    QCOMPARE(font.pointSizeF(), 10.5);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.bold());
}

void TestAbout::addressClickStartsTheBrowser_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<qsizetype>("starts");

    QTest::newRow("left") << Qt::LeftButton << qsizetype(1);
    QTest::newRow("right") << Qt::RightButton << qsizetype(0);
    QTest::newRow("middle") << Qt::MiddleButton << qsizetype(0);
}

void TestAbout::addressClickStartsTheBrowser() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(qsizetype, starts);

    QVERIFY(showDialog());
    auto *address = qobject_cast<QLabel *>(control("Label1"));
    QTest::mouseClick(address, button);

    QCOMPARE(m_launcher.calls.size(), starts);
    if (starts == 0) {
        return;
    }
    const LaunchCall &call = m_launcher.calls.first();
    QCOMPARE(call.program, pairwick::about::webBrowserProgram());
#ifndef Q_OS_WIN
    QCOMPARE(call.program, QStringLiteral("xdg-open"));
#endif
    QCOMPARE(call.arguments, QStringList{address->text()});
    QVERIFY(call.arguments.first().startsWith(QStringLiteral("https://")));
    QVERIFY(m_dialog->isVisible());
}

void TestAbout::addressPressDraggedAwayStartsNothing() {
    QVERIFY(showDialog());
    QWidget *address = control("Label1");
    QTest::mousePress(address, Qt::LeftButton);
    QTest::mouseRelease(address, Qt::LeftButton, {}, QPoint(-20, -20));

    QVERIFY(m_launcher.calls.isEmpty());
}

void TestAbout::failingBrowserLeavesTheDialogQuiet() {
    m_launcher.succeeds = false;
    QVERIFY(showDialog());

    QTest::mouseClick(control("Label1"), Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(m_launcher.calls.size(), 1);
    QVERIFY(!m_dialog.isNull());
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!anyMessageBoxShown());

    // Still usable: a second click tries again, and the button still closes it.
    QTest::mouseClick(control("Label1"), Qt::LeftButton);
    QCOMPARE(m_launcher.calls.size(), 2);
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAbout::processLauncherReportsWhetherTheProgramStarted_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("started");

    QTest::newRow("missing program")
        << QStringLiteral("/nonexistent/pairwick-no-such-browser") << false;
    const QString harmless = QStandardPaths::findExecutable(QStringLiteral("true"));
    if (!harmless.isEmpty()) {
        QTest::newRow("program that exists") << harmless << true;
    }
}

void TestAbout::processLauncherReportsWhetherTheProgramStarted() {
    QFETCH(QString, program);
    QFETCH(bool, started);

    pairwick::about::ProcessBrowserLauncher launcher;
    QCOMPARE(launcher.startDetached(program, {QStringLiteral("https://tarnholt.example/")}),
             started);
}
