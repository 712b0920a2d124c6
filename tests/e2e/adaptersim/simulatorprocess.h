// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace pairwick::adaptersim::test {

// One run of the simulator program, started the way a user or another test would start it.
class SimulatorProcess {
public:
    SimulatorProcess();
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    void setEnvironment(const QProcessEnvironment &environment);
    // Starts the program and waits for its ready line.
    bool start(const QStringList &arguments);
    // Runs the program to its end, for arguments that must not get as far as ready.
    bool runToEnd(const QStringList &arguments);
    bool waitForEnd();
    bool sendSignal(int signalNumber);

    const QString &linkPath() const { return m_linkPath; }
    const QString &devicePath() const { return m_devicePath; }
    QByteArray standardOutput();
    QByteArray standardError();
    int exitCode() const { return m_process.exitCode(); }
    bool exitedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

private:
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
    QString m_linkPath;
    QString m_devicePath;
};

}  // namespace pairwick::adaptersim::test
