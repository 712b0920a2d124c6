// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog every group starts from, and the title it takes from the application.
#include <QApplication>
#include <QLabel>
#include <QtTest>

#include "about/apptitle.h"
#include "tst_about.h"

using pairwick::about::frmAbout;

void TestAbout::init() {
    m_launcher.calls.clear();
    m_launcher.succeeds = true;
    m_dialog = new frmAbout(m_launcher);
}

void TestAbout::cleanup() {
    delete m_dialog.data();
    QGuiApplication::setApplicationDisplayName(QString());
}

QWidget *TestAbout::control(const char *name) const {
    auto *widget = m_dialog->findChild<QWidget *>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("the About dialog has no control named %s", name);
    }
    return widget;
}

bool TestAbout::showDialog() {
    m_dialog->show();
    // Without a window manager nobody else activates it.
    m_dialog->activateWindow();
    return QTest::qWaitForWindowActive(m_dialog);
}

void TestAbout::loadStepNamesTheApplication() {
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("关于 Pairwick"));
    QCOMPARE(qobject_cast<QLabel *>(control("lblTitle"))->text(), QStringLiteral("Pairwick"));
    QCOMPARE(pairwick::about::ApplicationTitle, QStringLiteral("Pairwick"));
}

void TestAbout::loadStepFollowsTheDisplayName_data() {
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<QString>("title");

    QTest::newRow("cleared") << QString() << QStringLiteral("Pairwick");
    QTest::newRow("executable name")
        << QCoreApplication::applicationName() << QStringLiteral("Pairwick");
    QTest::newRow("set by the application")
        << QStringLiteral("Spielwerk") << QStringLiteral("Spielwerk");
}

void TestAbout::loadStepFollowsTheDisplayName() {
    QFETCH(QString, displayName);
    QFETCH(QString, title);

    QGuiApplication::setApplicationDisplayName(displayName);
    const QPointer<frmAbout> dialog = new frmAbout(m_launcher);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("关于 ") + title);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), title);
    delete dialog.data();
}

QTEST_MAIN(TestAbout)
