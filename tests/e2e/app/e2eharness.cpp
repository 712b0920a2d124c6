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

QList<E2eHarness::LoggedLine> E2eHarness::logged(QStringView kind) {
    static const QRegularExpression logLine(
        QStringLiteral("^(\\d+):(\\d+):(\\d+)\\.(\\d+) (\\S+) (.*)$"));
    QList<LoggedLine> lines;
    for (const QString &line : QString::fromUtf8(simulator.standardOutput()).split(u'\n')) {
        const QRegularExpressionMatch match = logLine.match(line);
        if (!match.hasMatch() || match.capturedView(5) != kind)
            continue;
        const qint64 seconds =
            (match.captured(1).toLongLong() * 60 + match.captured(2).toLongLong()) * 60 +
            match.captured(3).toLongLong();
        lines.append({seconds * 1000 + match.captured(4).toLongLong(), match.captured(6)});
    }
    return lines;
}

QStringList E2eHarness::receivedLines() {
    QStringList lines;
    for (const LoggedLine &line : logged(u"<-"))
        lines.append(line.text);
    return lines;
}
