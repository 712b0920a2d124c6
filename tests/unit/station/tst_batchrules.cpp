// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "tst_batchrules.h"

QTEST_GUILESS_MAIN(TestBatchRules)
#include "moc_tst_batchrules.cpp"
