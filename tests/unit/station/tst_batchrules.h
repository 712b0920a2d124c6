// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTest>
#include <QTranslator>
#include <memory>

#include "i18n/translation.h"
#include "station/batchrules.h"
#include "station/valuesfile.h"

// What every group of the test builds its rules and values from.
namespace pairwick::station::testing {

// Stands in for the system source, so a test knows the digits it gets.
QString countingDigits(int count);
ValuesTable table(const QByteArray &csv);
BatchRules rules(const QString &name, const QByteArray &csv = {}, qint64 first = 1);

}  // namespace pairwick::station::testing

class TestBatchRules : public QObject {
    Q_OBJECT

private slots:
    // The problems as the command line and its records give them.
    void initTestCase() {
        m_english = pairwick::i18n::installTranslation(pairwick::i18n::Language::English);
        QVERIFY(m_english);
    }
    void expandTemplate_data();
    void expandTemplate();
    void valuesFile_data();
    void valuesFile();
    void rulesProblem_data();
    void rulesProblem();
    void unitValues_data();
    void unitValues();
    void jsonRoundTrip();
    void malformedJson_data();
    void malformedJson();
    void rulesDifference_data();
    void rulesDifference();

private:
    std::unique_ptr<QTranslator> m_english;
};
