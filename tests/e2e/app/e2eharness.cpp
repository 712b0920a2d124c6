// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2eharness.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

E2eHarness::E2eHarness() {
    qputenv("PAIRWICK_PORTS", ports.path().toLocal8Bit());
    form = std::make_unique<pairwick::window::Form1>(
        pairwick::window::Services{port, waiter, clock, boxes, launcher});
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("main window was not exposed");
}

E2eHarness::~E2eHarness() {
    form.reset();
    port.close();
}

bool E2eHarness::startSimulator(const QStringList &switches) {
    return simulator.start(QStringList{"--port", "COM1", "--ports-dir", ports.path()} + switches);
}

void E2eHarness::click(const char *buttonName) {
    find<QAbstractButton>(buttonName)->click();
}

QString E2eHarness::text(const char *lineEditName) const {
    return find<QLineEdit>(lineEditName)->text();
}

QString E2eHarness::caption() const {
    return find<QAbstractButton>("Command1")->text();
}

QString E2eHarness::status() const {
    return find<QStatusBar>("StatusBar1")->currentMessage();
}

QStringList E2eHarness::receivedLines() {
    static const QRegularExpression received(QStringLiteral("^\\S+ <- (.*)$"));
    QStringList lines;
    for (const QString &line : QString::fromUtf8(simulator.standardOutput()).split(u'\n')) {
        const QRegularExpressionMatch match = received.match(line);
        if (match.hasMatch())
            lines.append(match.captured(1));
    }
    return lines;
}
