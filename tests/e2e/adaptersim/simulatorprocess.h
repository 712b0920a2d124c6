// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
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
    // Starts the program and waits for the ready lines of its adapters.
    bool start(const QStringList &arguments, int adapters = 1);
    // Runs the program to its end, for arguments that must not get as far as ready.
    bool runToEnd(const QStringList &arguments);
    bool waitForEnd();
    bool sendSignal(int signalNumber);
    // Writes one control line to the program's standard input.
    bool command(const QByteArray &line);
    void endInput() { m_process.closeWriteChannel(); }

    // Of the adapters in the order of their ready lines.
    QString linkPath(int adapter = 0) const { return m_linkPaths.value(adapter); }
    QString devicePath(int adapter = 0) const { return m_devicePaths.value(adapter); }
    QByteArray standardOutput();
    QByteArray standardError();
    int exitCode() const { return m_process.exitCode(); }
    bool exitedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

private:
    bool readReadyLines(const QByteArrayList &lines);

    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
    QStringList m_linkPaths;
    QStringList m_devicePaths;
};

}  // namespace pairwick::adaptersim::test
