// SPDX-License-Identifier: GPL-3.0-or-later
// What every case starts from: one PostgreSQL server of the test's own for the whole run, and a
// fresh folder for each case's ports, ledger file and state.
#include "tst_e2e_station.h"

#include <QTest>
#include <memory>

void TestE2eStation::initTestCase() {
    m_postgres = std::make_unique<PrivatePostgres>();
    QVERIFY2(m_postgres->problem().isEmpty(), qPrintable(m_postgres->problem()));
}

void TestE2eStation::init() {
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestE2eStation::cleanup() {
    if (QTest::currentTestFailed() && m_units)
        qWarning("the units said: %s\n%s", m_units->standardOutput().right(3000).constData(),
                 m_units->standardError().right(1000).constData());
    m_units.reset();
    m_folder.reset();
}

QTEST_GUILESS_MAIN(TestE2eStation)
#include "moc_tst_e2e_station.cpp"
