// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulatorprocess.h"

#include <QDeadlineTimer>

#include <sys/prctl.h>
#include <csignal>

#include "patience.h"

namespace pairwick::adaptersim::test {

namespace {

constexpr int startLimitMs = PatienceMs;

}  // namespace

SimulatorProcess::SimulatorProcess() {
    m_process.setProgram(QStringLiteral(PAIRWICK_SIM_PATH));
    // A test that crashes runs no destructor; the simulator then goes with it all the same.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

SimulatorProcess::~SimulatorProcess() {
    if (isRunning()) {
        sendSignal(SIGTERM);
        if (!m_process.waitForFinished(startLimitMs)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
}

void SimulatorProcess::setEnvironment(const QProcessEnvironment &environment) {
    m_process.setProcessEnvironment(environment);
}

bool SimulatorProcess::start(const QStringList &arguments, int adapters) {
    m_process.setArguments(arguments);
    m_process.start();
    const QDeadlineTimer deadline(startLimitMs);
    while (!deadline.hasExpired()) {
        const QByteArrayList lines = standardOutput().split('\n');
        // The last piece is a line still to be finished.
        if (lines.size() > adapters) {
            return readReadyLines(lines.first(adapters));
        }
        if (!m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            return false;
        }
    }
    return false;
}

bool SimulatorProcess::readReadyLines(const QByteArrayList &lines) {
    const QByteArray prefix = "ready ";
    const QByteArray separator = " -> ";
    for (const QByteArray &ready : lines) {
        const qsizetype arrow = ready.indexOf(separator);
        if (!ready.startsWith(prefix) || arrow < 0) {
            return false;
        }
        m_linkPaths.append(QString::fromLocal8Bit(ready.mid(prefix.size(), arrow - prefix.size())));
        m_devicePaths.append(QString::fromLocal8Bit(ready.mid(arrow + separator.size())));
    }
    return true;
}

bool SimulatorProcess::runToEnd(const QStringList &arguments) {
    m_process.setArguments(arguments);
    m_process.start();
    return waitForEnd();
}

bool SimulatorProcess::waitForEnd() {
    return m_process.waitForFinished(startLimitMs);
}

bool SimulatorProcess::sendSignal(int signalNumber) {
    return ::kill(pid_t(m_process.processId()), signalNumber) == 0;
}

bool SimulatorProcess::command(const QByteArray &line) {
    const QByteArray bytes = line + '\n';
    return m_process.write(bytes) == bytes.size() && m_process.waitForBytesWritten(startLimitMs);
}

QByteArray SimulatorProcess::standardOutput() {
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

QByteArray SimulatorProcess::standardError() {
    m_errors += m_process.readAllStandardError();
    return m_errors;
}

}  // namespace pairwick::adaptersim::test
