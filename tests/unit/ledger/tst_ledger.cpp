// SPDX-License-Identifier: GPL-3.0-or-later
// One private server serves every group of the test, started once here.
#include <QTest>
#include <memory>

#include "i18n/translation.h"
#include "tst_ledger.h"

using namespace pairwick;

void TestLedger::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_english = i18n::installTranslation(i18n::Language::English);
    QVERIFY(m_english);
    m_postgres = std::make_unique<fakes::PrivatePostgres>();
    QVERIFY2(m_postgres->problem().isEmpty(), qPrintable(m_postgres->problem()));
}

QTEST_GUILESS_MAIN(TestLedger)
#include "moc_tst_ledger.cpp"
