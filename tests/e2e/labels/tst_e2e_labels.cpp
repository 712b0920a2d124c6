// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-cli label preview, checked by reading its labels back as a scanner would: the ZPL
// rendered by zpl-renderer-js, the PDF by pdftoppm, the codes decoded by zbarimg.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>

#include "labelreading.h"
#include "ledger/ledger.h"
#include "patience.h"
#include "privatecups.h"

using namespace pairwick;

namespace {

struct Finished {
    int status = -1;
    QByteArray output;
    QByteArray errors;
};

Finished runProgram(
    const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(PatienceMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

const QString Batch = QStringLiteral("line-7");
// Twenty characters, the longest name: one beyond ASCII, what could end a label or start a
// command, and a field hex escape that must print as its three characters.
const QString HostileZplName = QStringLiteral("Ünit^XZ^XA^FDx~JR_5E");
// What an XML file and a template would each take for their own.
const QString HostileSvgName = QStringLiteral("Ünit<&>\"{pin}'");

}  // namespace

class TestE2eLabels : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void zplPrintsTheNameLiterally();
    void svgCodesReadBack_data();
    void svgCodesReadBack();
    void unitThatDidNotPassPrintsNothing();
    void badTemplatesAreRefused_data();
    void badTemplatesAreRefused();
    void reprintThroughCupsIsRecorded();

private:
    Finished preview(const QString &labelFile, const QStringList &values, const QString &out);
    // What zbarimg reads in an image: "QR-Code:TEXT", "CODE-128:TEXT", one a line, sorted.
    QStringList decoded(const QString &image);
    QString path(const QString &name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_ledgerUrl;
};

void TestE2eLabels::initTestCase() {
    const QString missing = labels::test::missingReaders();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
}

// A ledger of three units: two that passed, with names a label must print literally, and one
// that failed.
void TestE2eLabels::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    m_ledgerUrl = QStringLiteral("sqlite:") + path(QStringLiteral("ledger.sqlite"));
    ledger::Ledger ledger(*ledger::parseLedgerUrl(m_ledgerUrl, nullptr), QStringLiteral("test"));
    ledger.joinBatch(Batch, {}, 1, nullptr);
    const QStringList names{HostileZplName, HostileSvgName, QStringLiteral("Unit-3")};
    for (qsizetype i = 0; i < names.size(); ++i) {
        ledger::AttemptStart start;
        start.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        start.batch = Batch;
        start.address = QStringLiteral("0A51:00:00000%1").arg(i + 1);
        start.station = QStringLiteral("bench-2");
        start.slot = QStringLiteral("COM%1").arg(i + 1);
        start.started = QDateTime::currentDateTimeUtc();
        ledger.beginAttempt(start, false, 0, [&](qint64) {
            settings::AdapterSettings values;
            values.set(settings::Key::Name, names[i]);
            values.set(settings::Key::Pin, QStringLiteral("4711"));
            return values;
        });
        ledger::AttemptEnd end;
        end.id = start.id;
        end.ended = start.started.addSecs(2);
        end.result = i < 2 ? ledger::AttemptResult::Passed : ledger::AttemptResult::Failed;
        ledger.finishAttempt(end);
    }
}

void TestE2eLabels::cleanup() {
    m_folder.reset();
}

Finished TestE2eLabels::preview(const QString &labelFile, const QStringList &values,
                                const QString &out) {
    return runProgram(QStringLiteral(PAIRWICK_CLI_PATH),
                      QStringList{"label", "preview", "--label", labelFile, "--out", out,
                                  "--ledger", m_ledgerUrl} +
                          values);
}

QStringList TestE2eLabels::decoded(const QString &image) {
    const Finished zbar = runProgram(QStringLiteral("zbarimg"), {QStringLiteral("-q"), image});
    QStringList codes = QString::fromUtf8(zbar.output).split(u'\n', Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

void TestE2eLabels::zplPrintsTheNameLiterally() {
    const QString label = path(QStringLiteral("unit.zpl"));
    const Finished run = preview(QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"),
                                 {"--batch", Batch, "--seq", "1"}, label);
    QVERIFY2(run.status == 0, run.errors.constData());

    QFile filled(label);
    QVERIFY(filled.open(QIODevice::ReadOnly));
    QString problem;
    QCOMPARE(labels::test::qrOfZpl(filled.readAll(), m_folder->path(), &problem),
             HostileZplName.toUtf8());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestE2eLabels::svgCodesReadBack_data() {
    QTest::addColumn<QString>("out");
    QTest::newRow("pdf") << QStringLiteral("unit.pdf");
    QTest::newRow("png") << QStringLiteral("unit.png");
}

void TestE2eLabels::svgCodesReadBack() {
    QFETCH(QString, out);
    const Finished run = preview(QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.svg"),
                                 {"--batch", Batch, "--seq", "2"}, path(out));
    QVERIFY2(run.status == 0, run.errors.constData());
    QString image = path(out);
    if (out.endsWith(QLatin1String(".pdf"))) {
        const Finished pages =
            runProgram(QStringLiteral("pdftoppm"),
                       {"-r", "300", "-png", "-singlefile", image, path(QStringLiteral("page"))});
        QVERIFY2(pages.status == 0, pages.errors.constData());
        image = path(QStringLiteral("page.png"));
    }
    QCOMPARE(decoded(image), (QStringList{QStringLiteral("CODE-128:0A5100000002"),
                                          QStringLiteral("QR-Code:") + HostileSvgName}));
}

void TestE2eLabels::unitThatDidNotPassPrintsNothing() {
    const QString out = path(QStringLiteral("unit.zpl"));
    const QString example = QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl");
    Finished run = preview(example, {"--batch", Batch, "--seq", "3"}, out);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.errors.contains("unit 3 of batch line-7 has not passed (it is failed)"),
             run.errors.constData());
    run = preview(example, {"--batch", Batch, "--seq", "4"}, out);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.errors.contains("batch line-7 has no unit 4"), run.errors.constData());
    QVERIFY(!QFile::exists(out));
}

void TestE2eLabels::badTemplatesAreRefused_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("message");
    const QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"50mm\" "
        "height=\"30mm\" viewBox=\"0 0 50 30\">\n";
    QTest::newRow("not UTF-8") << "a.zpl" << QByteArray("^XA\n^FD\xff{name}^FS\n^XZ")
                               << QByteArray("a.zpl: line 2 is not UTF-8");
    QTest::newRow("over 1 MiB") << "a.zpl" << QByteArray(1024 * 1024 + 1, ' ')
                                << QByteArray("larger than 1024 KiB");
    QTest::newRow("unknown field") << "a.zpl" << QByteArray("^XA^FD{serial}^FS^XZ")
                                   << QByteArray("unknown field \"{serial}\"");
    QTest::newRow("bad width") << "a.zpl" << QByteArray("^XA^FD{seq:0}^FS^XZ")
                               << QByteArray("the width must be a number from 1 to 20");
    QTest::newRow("no ^XA") << "a.zpl" << QByteArray("^FD{name}^FS^XZ")
                            << QByteArray("starts with ^XA");
    QTest::newRow("no ^XZ") << "a.zpl" << QByteArray("^XA^FD{name}^FS")
                            << QByteArray("does not end with ^XZ");
    QTest::newRow("two labels") << "a.zpl" << QByteArray("^XA^FDa^FS^XZ\n^XA^FD{name}^FS^XZ")
                                << QByteArray("a template is one label");
    QTest::newRow("field outside data") << "a.zpl" << QByteArray("^XA^FO{seq},9^FDa^FS^XZ")
                                        << QByteArray("fields belong in field data");
    QTest::newRow("other encoding")
        << "a.zpl" << QByteArray("^XA^CI27^FD{name}^FS^XZ") << QByteArray("use ^CI28");
    QTest::newRow("changed prefix")
        << "a.zpl" << QByteArray("^XA^CC+^FD{name}^FS^XZ") << QByteArray("command characters");
    QTest::newRow("not XML") << "a.svg" << svg << QByteArray("not XML");
    QTest::newRow("page not in mm")
        << "a.svg" << QByteArray("<svg width=\"300\" height=\"200\"/>") << QByteArray("in mm");
    QTest::newRow("qr without a box")
        << "a.svg" << svg + "<g id=\"qr\" data-value=\"{name}\"/></svg>"
        << QByteArray("line 2: the \"qr\" element has no box");
    QTest::newRow("qr too small")
        << "a.svg" << svg + "<rect id=\"qr\" width=\"6\" height=\"6\" data-value=\"{name}\"/></svg>"
        << QByteArray("the box of \"qr\" is too small for its 20 bytes");
    QTest::newRow("barcode that cannot hold its text")
        << "a.svg"
        << svg +
               "<rect id=\"barcode\" width=\"50\" height=\"9\" data-value=\"\xe5\x90\x8d\"/></svg>"
        << QByteArray("the code of \"barcode\" cannot be made");
    QTest::newRow("unknown field in an attribute")
        << "a.svg"
        << svg + "<rect id=\"qr\" width=\"20\" height=\"20\" data-value=\"{mac}\"/></svg>"
        << QByteArray("attribute data-value: unknown field \"{mac}\"");
    QTest::newRow("nested too deep")
        << "a.svg" << svg + QByteArray("<g>").repeated(20000) + "{name}"
        << QByteArray("line 2: elements nest deeper than 256 levels");
    QTest::newRow("neither ZPL nor SVG")
        << "a.txt" << QByteArray("{name}") << QByteArray("a label template is a .zpl file");
}

void TestE2eLabels::badTemplatesAreRefused() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, message);
    QFile label(path(file));
    QVERIFY(label.open(QIODevice::WriteOnly));
    label.write(content);
    label.close();
    const QString out = path(file.endsWith(QLatin1String(".svg")) ? QStringLiteral("out.pdf")
                                                                  : QStringLiteral("out.zpl"));
    const Finished run = preview(label.fileName(), {"--sample"}, out);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.errors.contains(message), run.errors.constData());
    QVERIFY(!QFile::exists(out));
}

// A PDF label through a real CUPS, read back from what its queue wrote; the reprint is recorded
// with its reason, and one of a unit that did not pass, or without a reason, sends nothing.
void TestE2eLabels::reprintThroughCupsIsRecorded() {
    const labels::test::PrivateCups cups;
    QVERIFY2(cups.problem().isEmpty(), qPrintable(cups.problem()));
    const auto reprint = [&](const QStringList &arguments) {
        return runProgram(QStringLiteral(PAIRWICK_CLI_PATH),
                          QStringList{"label", "print", "--batch", Batch, "--label",
                                      QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.svg"),
                                      "--printer", "cups:Page", "--ledger", m_ledgerUrl} +
                              arguments,
                          cups.environment());
    };
    Finished run = reprint({"--seq", "3", "--reason", "smudged"});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.errors.contains("unit 3 of batch line-7 has not passed"), run.errors.constData());
    run = reprint({"--seq", "2"});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.errors.contains("needs --reason"), run.errors.constData());
    QVERIFY(!QFile::exists(cups.printedFile()));

    run = reprint({"--seq", "2", "--reason", "smudged"});
    QVERIFY2(run.status == 0, run.errors.constData());
    QTRY_VERIFY_WITH_TIMEOUT(cups.idle() && QFile::exists(cups.printedFile()), PatienceMs);
    const Finished pages = runProgram(
        QStringLiteral("pdftoppm"),
        {"-r", "300", "-png", "-singlefile", cups.printedFile(), path(QStringLiteral("printed"))});
    QVERIFY2(pages.status == 0, pages.errors.constData());
    QCOMPARE(decoded(path(QStringLiteral("printed.png"))),
             (QStringList{QStringLiteral("CODE-128:0A5100000002"),
                          QStringLiteral("QR-Code:") + HostileSvgName}));

    const Finished listed = runProgram(QStringLiteral(PAIRWICK_CLI_PATH),
                                       {"ledger", "labels", "--json", "--ledger", m_ledgerUrl});
    const QList<QByteArray> rows = listed.output.trimmed().split('\n');
    QCOMPARE(rows.size(), 1);
    const QJsonObject row = QJsonDocument::fromJson(rows.first()).object();
    QCOMPARE(row.value("seq").toInteger(), 2);
    QCOMPARE(row.value("reason").toString(), QStringLiteral("reprint: smudged"));
    QCOMPARE(row.value("state").toString(), QStringLiteral("sent"));
    QCOMPARE(row.value("printer").toString(), QStringLiteral("cups:Page"));
    QCOMPARE(row.value("template").toString().size(), 64);

    // Every unit that passed, to a folder: the failed one gets none.
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("printed")));
    run = runProgram(QStringLiteral(PAIRWICK_CLI_PATH),
                     {"label", "print", "--batch", Batch, "--passed", "--label",
                      QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"), "--printer",
                      "dir:" + path(QStringLiteral("printed")), "--reason", "box labels",
                      "--ledger", m_ledgerUrl});
    QVERIFY2(run.status == 0, run.errors.constData());
    QCOMPARE(QDir(path(QStringLiteral("printed"))).entryList(QDir::Files),
             (QStringList{"line-7-1.zpl", "line-7-2.zpl"}));
}

QTEST_GUILESS_MAIN(TestE2eLabels)
#include "tst_e2e_labels.moc"
