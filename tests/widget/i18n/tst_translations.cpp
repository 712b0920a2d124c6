// SPDX-License-Identifier: GPL-3.0-or-later
// The English translation keeps up with the sources: lupdate merges every text marked anywhere
// under src/ into a copy of it, which must then hold only finished translations. A text new to
// the sources comes in unfinished, and one they no longer have is marked vanished. The texts the
// station engine hands to its window are marked too: none of its sources holds an English
// sentence that no translation reaches.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void everyTextHasAFinishedEnglishTranslation();
    void stationEngineTextsAreMarked_data();
    void stationEngineTextsAreMarked();
};

void TestTranslations::everyTextHasAFinishedEnglishTranslation() {
    QTemporaryDir work;
    const QString merged = work.filePath(QStringLiteral("pairwick_en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(PAIRWICK_ENGLISH_TS), merged));
    QVERIFY(QFile::setPermissions(merged, QFile::ReadOwner | QFile::WriteOwner));
    QProcess lupdate;
    lupdate.start(QStringLiteral(PAIRWICK_LUPDATE),
                  {"-silent", "-locations", "none", "-extensions", "cpp,h,ui", PAIRWICK_SOURCE_DIR,
                   "-ts", merged});
    QVERIFY2(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    QFile file(merged);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    QStringList faults;
    int messages = 0;
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            source = xml.readElementText();
        if (xml.name() != u"translation")
            continue;
        ++messages;
        QString state = xml.attributes().value(QLatin1StringView("type")).toString();
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (state.isEmpty() && text.trimmed().isEmpty())
            state = QStringLiteral("empty");
        if (!state.isEmpty())
            faults.append(QStringLiteral("%1: %2 | %3").arg(state, context, source));
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(messages > 0, "no text is marked for translation");
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::stationEngineTextsAreMarked_data() {
    QTest::addColumn<QString>("source");
    for (const char *file : {"provision/adaptersession.cpp",
                             "station/slotworker.cpp",
                             "station/unitrun.cpp",
                             "station/slotevent.cpp",
                             "station/stationsetup.cpp",
                             "station/stationstart.cpp",
                             "station/onpasscommand.cpp",
                             "station/valuesfile.cpp",
                             "station/valuetemplate.cpp",
                             "station/unitvalue.cpp",
                             "station/batchrules.cpp",
                             "station/rulesdifference.cpp",
                             "station/csvreader.cpp",
                             "station/resultspool.cpp",
                             "settings/replyreading.cpp",
                             "ledger/ledger.cpp",
                             "ledger/ledgerconnection.cpp",
                             "ledger/ledgerlocation.cpp",
                             "ledger/schema.cpp",
                             "ledger/sqlstatement.cpp",
                             "ledger/postgresstatement.cpp"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

void TestTranslations::stationEngineTextsAreMarked() {
    QFETCH(QString, source);
    QFile file(QStringLiteral(PAIRWICK_SOURCE_DIR "/") + source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Two lower-case words in a literal that no translate() call takes: words for people.
    static const QRegularExpression unmarked(
        QStringLiteral(R"re(QStringLiteral\("([^"]*\b[a-z]{2,} [a-z]{2,}\b[^"]*)"\))re"));
    QStringList faults;
    for (auto match = unmarked.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();)
        faults.append(match.next().captured(1));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
