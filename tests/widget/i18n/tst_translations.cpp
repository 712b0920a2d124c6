// SPDX-License-Identifier: GPL-3.0-or-later
// The English translation keeps up with the sources: every text marked for translation anywhere
// under src/ has a finished English translation, and the translation file holds nothing more.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message {
    QString type;
    QString translation;
};

// Messages of a .ts file by "context | source", with " | comment" where there is one.
using Messages = QMap<QString, Message>;

QString keyOf(const QString &context, const QString &source, const QString &comment) {
    QStringList parts{context, source};
    if (!comment.isEmpty())
        parts.append(comment);
    return parts.join(QStringLiteral(" | "));
}

// Reads every message of a .ts file into `messages`; returns what went wrong, if anything.
QString readTs(const QString &path, Messages &messages) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + QStringLiteral(": ") + file.errorString();
    QXmlStreamReader xml(&file);
    QString context, source, comment;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            source.clear();
            comment.clear();
        } else if (name == u"source") {
            source = xml.readElementText();
        } else if (name == u"comment") {
            comment = xml.readElementText();
        } else if (name == u"translation") {
            const QString type = xml.attributes().value(QLatin1StringView("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.insert(keyOf(context, source, comment), {type, text});
        }
    }
    return xml.hasError() ? path + QStringLiteral(": ") + xml.errorString() : QString();
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextHasAFinishedTranslation();
    void translationFileHoldsOnlyCurrentTexts();

private:
    Messages m_marked;
    Messages m_english;
};

void TestTranslations::initTestCase() {
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString scanned = work.filePath(QStringLiteral("scanned_en.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(PAIRWICK_LUPDATE),
                  {"-silent", "-no-obsolete", "-locations", "none", "-extensions", "cpp,h,ui",
                   QStringLiteral(PAIRWICK_SOURCE_DIR), "-ts", scanned});
    QVERIFY2(lupdate.waitForFinished(120000), "lupdate did not end");
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    const QString scanFault = readTs(scanned, m_marked);
    QVERIFY2(scanFault.isEmpty(), qPrintable(scanFault));
    QVERIFY2(!m_marked.isEmpty(), "lupdate found no text marked for translation");
    const QString englishFault = readTs(QStringLiteral(PAIRWICK_ENGLISH_TS), m_english);
    QVERIFY2(englishFault.isEmpty(), qPrintable(englishFault));
}

void TestTranslations::everyTextHasAFinishedTranslation() {
    QStringList faults;
    for (auto it = m_marked.cbegin(); it != m_marked.cend(); ++it) {
        const auto english = m_english.constFind(it.key());
        if (english == m_english.cend())
            faults.append(QStringLiteral("not in the translation file: ") + it.key());
        else if (!english->type.isEmpty() || english->translation.trimmed().isEmpty())
            faults.append(QStringLiteral("unfinished: ") + it.key());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::translationFileHoldsOnlyCurrentTexts() {
    QStringList faults;
    for (auto it = m_english.cbegin(); it != m_english.cend(); ++it) {
        if (it->type == u"vanished" || it->type == u"obsolete")
            faults.append(it->type + QStringLiteral(": ") + it.key());
        else if (!m_marked.contains(it.key()))
            faults.append(QStringLiteral("no longer in the sources: ") + it.key());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
