// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-cli as a script runs it, against simulated adapters on pseudo-terminals.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "simulatorprocess.h"

using pairwick::adaptersim::test::SimulatorProcess;

struct CliRun {
    int status = -1;
    QJsonArray ports;
    QByteArray output;
    QByteArray errors;
    // The most resident memory the program held, in KiB, as sampled while it ran.
    long peakResidentKiB = -1;
};

class TestE2eCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void portsListsEveryName();
    void portsFailIndependently();
    void failedOpenIsToldAtOnce();
    void profileClonesAnAdapter();
    void completionFollowsTheLayout_data();
    void completionFollowsTheLayout();
    void badInputSendsNothing_data();
    void badInputSendsNothing();
    void unwritableLogIsReported();
    void interruptSendsNothingMore();
    void floodIsReadAndDropped();
    void pairBindsMasterToSlave();
    void pairFailureTellsWhatEachHolds();

private:
    // count adapters from port on, in one simulator.
    SimulatorProcess &adapter(const QString &port, const QStringList &switches = {}, int count = 1);
    QProcessEnvironment environment() const;
    CliRun run(const QStringList &arguments);
    QStringList received(const QString &port);
    QStringList setCommands(const QString &port);
    static QJsonObject portResult(const CliRun &run, const QString &port);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::map<QString, std::unique_ptr<SimulatorProcess>> m_adapters;
};
