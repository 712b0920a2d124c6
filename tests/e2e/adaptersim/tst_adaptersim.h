// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "adaptersimharness.h"
#include "rawport.h"
#include "simulatorprocess.h"

namespace pairwick::adaptersim::test {

class TestAdapterSim : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void factoryReplies_data();
    void factoryReplies();
    void uartValuesSitAtTheCutPositions_data();
    void uartValuesSitAtTheCutPositions();
    void commandScripts_data();
    void commandScripts();
    void lineEndings_data();
    void lineEndings();
    void noiseNeverStopsTheAdapter();
    void unreadRepliesAreCapped();
    void reopenedPortKeepsState();

    void garbageReply();
    void lateTail();
    void floodKeepsAnswering();
    void vanishOn();
    void terminationSignal_data();
    void terminationSignal();
    void repliesTakeTheirTime_data();
    void repliesTakeTheirTime();
    void twoAdaptersAreIndependent();
    void chaosReplaysForTheSameSeed();
    void chaosVanishingComesBackUnderTheSameLink();
    void unitAddresses_data();
    void unitAddresses();
    void nextBringsAFreshUnit();
    void unitControlLines_data();
    void unitControlLines();

    void portMapFolder_data();
    void portMapFolder();
    void existingEntry_data();
    void existingEntry();
    void badArguments_data();
    void badArguments();
    void helpListsSwitchesAndFactoryState();
    void logLines_data();
    void logLines();
    void quietPrintsOnlyReady();

private:
    QStringList inFolder(const QStringList &arguments) const;
    bool startAndOpen(const QStringList &arguments);
    void runScript(const Script &script);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SimulatorProcess> m_simulator;
    RawPort m_port;
};

}  // namespace pairwick::adaptersim::test
