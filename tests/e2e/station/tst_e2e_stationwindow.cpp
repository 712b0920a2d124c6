// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-station as an operator runs it: a batch through four slots of simulated units, the
// tiles and totals as units pass and fail, then the ledger table and its CSV export; the labels of
// the passed units in a folder, and one printed again from the ledger tab.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "patience.h"
#include "simulatorprocess.h"
#include "stationwindow/ledgerpage.h"
#include "stationwindow/runpage.h"
#include "stationwindow/setuppage.h"
#include "stationwindow/slottile.h"
#include "stationwindow/stationwindow.h"
#include "stationwindow/unittablemodel.h"

using pairwick::adaptersim::test::SimulatorProcess;
using pairwick::station::SlotState;
using pairwick::stationwindow::SlotTile;
using pairwick::stationwindow::StationWindow;

namespace {

// A result as its tile showed it to the operator.
struct Shown {
    SlotState state;
    qint64 seq;
    QString main;
    QColor colour;
};

}  // namespace

class TestE2eStationWindow : public QObject {
    Q_OBJECT

private slots:
    void batchThroughFourSlots();
    void labelOfEachPassAndAReprint();
};

void TestE2eStationWindow::batchThroughFourSlots() {
    QTemporaryDir folder;
    qputenv("PAIRWICK_PORTS", folder.path().toUtf8());
    qputenv("XDG_STATE_HOME", folder.filePath("state").toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toUtf8());
    qunsetenv("PAIRWICK_LEDGER");
    const QString bind = QStringLiteral("1A2B:3C:4D5E6F");
    QFile values(folder.filePath("pairs.csv"));
    QVERIFY(values.open(QIODevice::WriteOnly));
    values.write("seq,role,bind\n2,master," + bind.toUtf8() + "\n");
    values.close();
    // The unit given number 2 never answers its bind, so it fails.
    SimulatorProcess units;
    QVERIFY(
        units.start({"--units", "--adapters", "4", "--ports-dir", folder.path(), "--unit-settle",
                     "50", "--unplug", "udev", "--silent-on", "AT+BINDADDR0=" + bind},
                    4));

    pairwick::station::StationSetup setup;
    setup.slotNames = {"COM1", "COM2", "COM3", "COM4"};
    setup.batch = QStringLiteral("window");
    setup.fields = {QStringLiteral("name=Sensor-{seq:4}"), QStringLiteral("pin={random:6}")};
    setup.valuesFile = values.fileName();
    setup.count = QStringLiteral("5");
    setup.ledgerUrl = QStringLiteral("sqlite:") + folder.filePath("ledger.sqlite");
    setup.station = QStringLiteral("bench-w");
    setup.operatorName = QStringLiteral("林工");
    StationWindow window(setup, nullptr);
    window.show();
    QSignalSpy ended(&window, &StationWindow::runEnded);
    QTest::mouseClick(window.findChild<QPushButton *>("startButton"), Qt::LeftButton);
    QTRY_VERIFY(window.isRunning());

    // The operator takes out every unit whose result is shown, once, until the fifth pass: that
    // unit stays in.
    QList<Shown> shown;
    QList<qint64> taken(4, -1);
    const QList<SlotTile *> &tiles = window.runPage().tiles();
    for (int round = 0; round < 3000 && ended.isEmpty(); ++round) {
        for (int index = 0; index < tiles.size(); ++index) {
            const auto &event = tiles[index]->event();
            if (!event.awaitingRemoval || event.state == SlotState::Finished ||
                event.seq == taken[index])
                continue;
            taken[index] = event.seq;
            const QImage drawn = tiles[index]->grab().toImage();
            shown.append({event.state, event.seq, tiles[index]->face().main,
                          drawn.pixelColor(drawn.width() / 2, 3)});
            if (std::count_if(shown.cbegin(), shown.cend(), [](const Shown &result) {
                    return result.state == SlotState::Passed;
                }) < 5)
                units.command("next COM" + QByteArray::number(index + 1));
        }
        QTest::qWait(20);
    }
    QCOMPARE(ended.size(), 1);
    QVERIFY(!window.isRunning());
    // The last result stays until its unit is out, also once the batch is complete.
    QCOMPARE(window.findChild<QLabel *>("runState")->text(), QStringLiteral("批次已完成"));
    const Shown last = shown.last();
    const auto keeps = std::find_if(tiles.cbegin(), tiles.cend(), [&](const SlotTile *tile) {
        return tile->event().seq == last.seq && tile->event().awaitingRemoval;
    });
    QVERIFY(keeps != tiles.cend());
    QCOMPARE((*keeps)->event().state, SlotState::Passed);
    QCOMPARE((*keeps)->face().main, last.main);
    QCOMPARE((*keeps)->face().removal, QStringLiteral("请取出模块"));
    QCOMPARE((*keeps)->face().detail, QStringLiteral("批次已完成"));

    QMap<qint64, Shown> passed;
    QList<Shown> failed;
    for (const Shown &result : shown) {
        if (result.state == SlotState::Passed)
            passed.insert(result.seq, result);
        else
            failed.append(result);
    }
    QCOMPARE(passed.size(), 5);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed[0].seq, 2);
    QCOMPARE(failed[0].colour, SlotTile::colourOf(SlotState::Failed));
    QVERIFY2(failed[0].main.startsWith("写入 bind: 1000 毫秒内没有回复"),
             qPrintable(failed[0].main));
    QCOMPARE(window.findChild<QLabel *>("stationTotals")->text(),
             QStringLiteral("本工位：通过 5　失败 1　每小时 —"));
    QTRY_VERIFY(window.findChild<QLabel *>("batchTotals")->text().contains("通过 5　失败 1　"));

    // The ledger table holds every unit as the tiles showed it.
    auto &ledger = window.ledgerPage();
    window.findChild<QTabWidget *>("pages")->setCurrentWidget(&ledger);
    QTRY_COMPARE(ledger.shown().rowCount(), 6);
    for (int row = 0; row < ledger.shown().rowCount(); ++row) {
        const pairwick::ledger::UnitRow &unit = ledger.shown().unit(row);
        if (unit.seq == 2)
            continue;
        QVERIFY2(passed.contains(unit.seq), qPrintable(unit.name));
        QCOMPARE(passed[unit.seq].colour, SlotTile::colourOf(SlotState::Passed));
        QCOMPARE(passed[unit.seq].main, unit.name + "\nPIN " + unit.pin);
        QCOMPARE(unit.name, QStringLiteral("Sensor-%1").arg(unit.seq, 4, 10, QLatin1Char('0')));
    }
    auto *result = ledger.findChild<QComboBox *>("resultFilter");
    result->setCurrentIndex(result->findData("failed"));
    QTRY_COMPARE(ledger.shown().rowCount(), 1);
    QCOMPARE(ledger.shown().unit(0).seq, 2);
    // It says what its tile said: the reason, and the keys written and sent without an answer.
    QCOMPARE(
        ledger.shown().index(0, pairwick::stationwindow::UnitTableModel::Result).data().toString(),
        SlotTile::wordOf(SlotState::Failed) + "：" + failed[0].main);
    result->setCurrentIndex(0);
    // Ctrl+F takes the keys to the search, which finds a name by its beginning in any case.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "sensor-0003");
    QTRY_VERIFY(ledger.shown().rowCount() == 1 && ledger.shown().unit(0).seq == 3);
    ledger.findChild<QLineEdit *>("search")->clear();
    QTRY_COMPARE(ledger.shown().rowCount(), 6);
    // The ledger sorts: a click on the number column turns the order round.
    auto *table = ledger.findChild<QTableView *>("unitTable");
    table->sortByColumn(pairwick::stationwindow::UnitTableModel::Seq, Qt::DescendingOrder);
    QTRY_COMPARE(ledger.shown().unit(0).seq, 6);
    table->sortByColumn(pairwick::stationwindow::UnitTableModel::Seq, Qt::AscendingOrder);
    QTRY_COMPARE(ledger.shown().unit(0).seq, 1);

    // The export is the command line's CSV, byte for byte.
    QSignalSpy exports(&ledger, &pairwick::stationwindow::LedgerPage::exported);
    ledger.exportCsv(folder.filePath("units.csv"));
    QTRY_COMPARE(exports.size(), 1);
    QCOMPARE(exports.first().value(1).toString(), QString());
    QFile exported(folder.filePath("units.csv"));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QProcess cli;
    cli.start(PAIRWICK_CLI_PATH,
              {"ledger", "units", "--batch", "window", "--csv", "--ledger", setup.ledgerUrl});
    QVERIFY(cli.waitForFinished(PatienceMs));
    QCOMPARE(exported.readAll(), cli.readAllStandardOutput());

    // The operator is kept for the next start.
    pairwick::stationwindow::SetupPage next;
    next.fill({});
    QCOMPARE(next.setup().operatorName, QStringLiteral("林工"));

    // The English command line fails a unit the same way in the same ledger: the Chinese window's
    // record and its own hold the same codes, which the listing words in its language.
    QFile cliValues(folder.filePath("cli.csv"));
    QVERIFY(cliValues.open(QIODevice::WriteOnly));
    cliValues.write("seq,role,bind\n1,master," + bind.toUtf8() + "\n");
    cliValues.close();
    units.command("next COM1");
    QProcess station;
    station.start(PAIRWICK_CLI_PATH,
                  {"station", "COM1", "--batch", "cli", "--set", "pin={random:4}", "--values",
                   cliValues.fileName(), "--ledger", setup.ledgerUrl, "--station", "bench-c",
                   "--operator", "Lin", "--json"});
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT(
        (said += station.readAllStandardOutput()).contains("\"event\":\"unit\""), PatienceMs);
    station.terminate();
    QVERIFY(station.waitForFinished(PatienceMs));
    QStringList failures;
    cli.start(PAIRWICK_CLI_PATH,
              {"ledger", "units", "--attempts", "--json", "--ledger", setup.ledgerUrl});
    QVERIFY(cli.waitForFinished(PatienceMs));
    for (const QByteArray &line : cli.readAllStandardOutput().split('\n')) {
        const QJsonObject attempt = QJsonDocument::fromJson(line).object();
        if (attempt.value("result").toString() == u"failed")
            failures << QStringList{attempt.value("batch").toString(),
                                    attempt.value("operator").toString(),
                                    attempt.value("step").toString(),
                                    attempt.value("error").toString(),
                                    attempt.value("detail").toString(),
                                    attempt.value("reason").toString()}
                            .join(u'|');
    }
    failures.sort();
    QCOMPARE(failures, QStringList({"cli|Lin|write:bind|no-reply|1000|write bind: no reply within "
                                    "1000 ms",
                                    "window|林工|write:bind|no-reply|1000|write bind: no reply "
                                    "within 1000 ms"}));
}

void TestE2eStationWindow::labelOfEachPassAndAReprint() {
    QTemporaryDir folder;
    qputenv("PAIRWICK_PORTS", folder.path().toUtf8());
    qputenv("XDG_STATE_HOME", folder.filePath("state").toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toUtf8());
    qunsetenv("PAIRWICK_LEDGER");
    QFile zpl(folder.filePath("unit.zpl"));
    QVERIFY(zpl.open(QIODevice::WriteOnly));
    zpl.write("^XA\n^FO16,16^A0N,34,30^FD{name}^FS\n^FO16,60^A0N,24,22^FDPIN {pin}^FS\n^XZ\n");
    zpl.close();
    QVERIFY(QDir(folder.path()).mkdir("printed"));
    SimulatorProcess units;
    QVERIFY(units.start({"--units", "--adapters", "2", "--ports-dir", folder.path(),
                         "--unit-settle", "50", "--unplug", "udev"},
                        2));

    pairwick::station::StationSetup setup;
    setup.slotNames = {"COM1", "COM2"};
    setup.batch = QStringLiteral("labelled");
    setup.fields = {QStringLiteral("name=Tag-{seq:3}"), QStringLiteral("pin={random:6}")};
    setup.count = QStringLiteral("2");
    setup.ledgerUrl = QStringLiteral("sqlite:") + folder.filePath("ledger.sqlite");
    setup.station = QStringLiteral("label-w");
    setup.labelFile = zpl.fileName();
    setup.printer = QStringLiteral("dir:") + folder.filePath("printed");
    StationWindow window(setup, nullptr);
    window.show();
    QSignalSpy ended(&window, &StationWindow::runEnded);
    QVERIFY(window.start());
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), PatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QLabel *>("labelState")->text(),
                              QStringLiteral("待打印标签 0 个"), PatienceMs);
    // Each tile says its unit's label is out, for the operator who sticks it on.
    for (const SlotTile *tile : window.runPage().tiles())
        QTRY_VERIFY2_WITH_TIMEOUT(tile->face().detail.contains(QStringLiteral("标签已打印")),
                                  qPrintable(tile->face().detail), PatienceMs);

    auto &ledger = window.ledgerPage();
    QTRY_COMPARE_WITH_TIMEOUT(ledger.shown().rowCount(), 2, PatienceMs);
    for (int row = 0; row < 2; ++row) {
        const pairwick::ledger::UnitRow &unit = ledger.shown().unit(row);
        QCOMPARE(unit.state, QStringLiteral("passed"));
        QFile label(folder.filePath(QStringLiteral("printed/labelled-%1.zpl").arg(unit.seq)));
        QVERIFY2(label.open(QIODevice::ReadOnly), qPrintable(label.fileName()));
        const QByteArray printed = label.readAll();
        QVERIFY2(printed.contains("^FD" + unit.name.toUtf8() + "^FS"), printed.constData());
        QVERIFY2(printed.contains("^FDPIN " + unit.pin.toUtf8() + "^FS"), printed.constData());
    }

    // A reprint needs its reason; with one, it is printed and recorded with it.
    QSignalSpy printedAgain(&ledger, &pairwick::stationwindow::LedgerPage::labelsPrinted);
    ledger.printLabels({1}, QStringLiteral("  "));
    QCOMPARE(printedAgain.size(), 1);
    QVERIFY(printedAgain.takeFirst().value(0).toString().contains("原因"));
    ledger.printLabels({1}, QStringLiteral("label torn"));
    QTRY_COMPARE_WITH_TIMEOUT(printedAgain.size(), 1, PatienceMs);
    QCOMPARE(printedAgain.first().value(0).toString(), QStringLiteral("已重新打印 1 个标签"));
    QVERIFY(QFile::exists(folder.filePath("printed/labelled-1-2.zpl")));
    QProcess cli;
    cli.start(PAIRWICK_CLI_PATH,
              {"ledger", "labels", "--batch", "labelled", "--json", "--ledger", setup.ledgerUrl});
    QVERIFY(cli.waitForFinished(PatienceMs));
    QStringList reasons;
    for (const QByteArray &line : cli.readAllStandardOutput().split('\n')) {
        const QJsonObject label = QJsonDocument::fromJson(line).object();
        if (!label.isEmpty())
            reasons.append(QStringLiteral("%1 %2")
                               .arg(label["seq"].toInteger())
                               .arg(label["reason"].toString()));
    }
    reasons.sort();
    QCOMPARE(reasons, QStringList({"1 pass", "1 reprint: label torn", "2 pass"}));
}

QTEST_MAIN(TestE2eStationWindow)
#include "tst_e2e_stationwindow.moc"
