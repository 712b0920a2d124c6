// SPDX-License-Identifier: GPL-3.0-or-later
#include "tst_adaptersim.h"

#include <QTest>

namespace pairwick::adaptersim::test {

void TestAdapterSim::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_simulator = std::make_unique<SimulatorProcess>();
}

void TestAdapterSim::cleanup() {
    m_port.close();
    m_simulator.reset();
    m_folder.reset();
}

QStringList TestAdapterSim::inFolder(const QStringList &arguments) const {
    return QStringList{QStringLiteral("--ports-dir"), m_folder->path()} + arguments;
}

bool TestAdapterSim::startAndOpen(const QStringList &arguments) {
    if (!m_simulator->start(inFolder(arguments))) {
        qWarning("simulator did not start: %s", m_simulator->standardError().constData());
        return false;
    }
    return m_port.open(m_simulator->linkPath());
}

void TestAdapterSim::runScript(const Script &script) {
    for (const Exchange &step : script) {
        QCOMPARE(m_port.exchange(step.command), step.reply);
    }
}

}  // namespace pairwick::adaptersim::test

QTEST_GUILESS_MAIN(pairwick::adaptersim::test::TestAdapterSim)
