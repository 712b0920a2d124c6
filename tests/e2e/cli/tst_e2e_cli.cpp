// SPDX-License-Identifier: GPL-3.0-or-later
#include "tst_e2e_cli.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

#include "patience.h"

namespace {

long peakResidentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+)"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

}  // namespace

void TestE2eCli::init() {
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestE2eCli::cleanup() {
    m_adapters.clear();
    m_folder.reset();
}

SimulatorProcess &TestE2eCli::adapter(const QString &port, const QStringList &switches, int count) {
    auto &simulator = m_adapters[port];
    simulator = std::make_unique<SimulatorProcess>();
    const QStringList arguments{
        "--port", port, "--adapters", QString::number(count), "--ports-dir", m_folder->path()};
    if (!simulator->start(arguments + switches, count))
        qFatal("the simulated adapter on %s did not start", qPrintable(port));
    return *simulator;
}

QProcessEnvironment TestE2eCli::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PAIRWICK_PORTS"), m_folder->path());
    return environment;
}

CliRun TestE2eCli::run(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
    CliRun result;
    const QDeadlineTimer deadline(PatienceMs);
    // The high-water mark leaves with the process, so it is sampled until the end.
    while (!process.waitForFinished(20)) {
        result.peakResidentKiB =
            std::max(result.peakResidentKiB, peakResidentKiB(process.processId()));
        if (process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            process.kill();
            process.waitForFinished();
            return result;
        }
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    result.ports = QJsonDocument::fromJson(result.output).object().value("ports").toArray();
    return result;
}

QStringList TestE2eCli::received(const QString &port) {
    // A simulator of several adapters names the port on each line.
    static const QRegularExpression line(QStringLiteral("^\\S+ (?:(COM\\d+) )?<- (.*)$"));
    // Output of an adapter that has ended arrives through the event loop.
    QCoreApplication::processEvents();
    QStringList lines;
    for (const auto &[first, simulator] : m_adapters) {
        for (const QString &text : QString::fromUtf8(simulator->standardOutput()).split(u'\n')) {
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch() && (match.hasCaptured(1) ? match.captured(1) : first) == port)
                lines.append(match.captured(2));
        }
    }
    return lines;
}

QStringList TestE2eCli::setCommands(const QString &port) {
    QStringList commands = received(port);
    commands.removeIf([](const QString &line) { return !line.contains(u'='); });
    return commands;
}

QJsonObject TestE2eCli::portResult(const CliRun &run, const QString &port) {
    for (const QJsonValue &entry : run.ports) {
        if (entry.toObject().value("port").toString() == port)
            return entry.toObject();
    }
    return {};
}

QTEST_GUILESS_MAIN(TestE2eCli)
