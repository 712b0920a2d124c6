// SPDX-License-Identifier: GPL-3.0-or-later
// The window every group starts from, and what an operator or a screen reader reads on it.
#include <QAccessible>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include "accessibletree.h"
#include "ledger/ledger.h"
#include "stationwindow/runpage.h"
#include "stationwindow/stationwindow.h"
#include "stationwindow/unittablemodel.h"
#include "tst_stationwindow.h"

using pairwick::station::SetupField;
using pairwick::station::UnitReport;
using pairwick::stationwindow::StationWindow;

void TestStationWindow::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", m_folder->filePath("state").toUtf8());
    qputenv("PAIRWICK_PORTS", m_folder->path().toUtf8());
}

pairwick::station::StationSetup TestStationWindow::validSetup() const {
    pairwick::station::StationSetup setup;
    setup.slotNames = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    setup.batch = QStringLiteral("trial");
    setup.fields = {QStringLiteral("name=Unit-{seq:3}")};
    setup.ledgerUrl = QStringLiteral("sqlite:%1").arg(m_folder->filePath("ledger.sqlite"));
    setup.station = QStringLiteral("bench-1");
    return setup;
}

QString problemShown(QWidget &page, SetupField field) {
    const auto *label = child<QLabel>(page, QStringLiteral("problem%1").arg(int(field)));
    return label->isVisibleTo(&page) ? label->text() : QString();
}

// What a screen reader finds walking the window with its tiles: every control named.
void TestStationWindow::everyControlHasAName() {
    StationWindow window(validSetup(), nullptr);
    window.runPage().begin({"COM1", "COM2"});
    window.show();
    const QList<QAccessible::Role> controls{QAccessible::PushButton, QAccessible::EditableText,
                                            QAccessible::ComboBox,   QAccessible::CheckBox,
                                            QAccessible::List,       QAccessible::Table,
                                            QAccessible::PageTab};
    QStringList nameless;
    int tiles = 0;
    for (QAccessibleInterface *node : pairwick::fakes::accessibleTree(&window)) {
        tiles += node->text(QAccessible::Name).startsWith("槽 COM");
        const auto *widget = qobject_cast<QWidget *>(node->object());
        if (controls.contains(node->role()) && node->text(QAccessible::Name).isEmpty() && widget &&
            widget->isVisible())
            nameless.append(widget->objectName() + " " + widget->metaObject()->className());
    }
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(", ")));
    QCOMPARE(tiles, 2);
}

// A first pass a moment after the start is no pace yet; an address is never cut off.
void TestStationWindow::noRateBeforeOneAndAddressesWhole() {
    StationWindow window(validSetup(), nullptr);
    window.runPage().begin({"COM1", "COM2"});
    const auto *totals = child<QLabel>(window, QStringLiteral("stationTotals"));
    QCOMPARE(totals->text(), QStringLiteral("本工位：通过 0　失败 0　每小时 —"));
    UnitReport passed;
    passed.result = pairwick::ledger::AttemptResult::Passed;
    window.runPage().unitFinished(0, passed);
    QTRY_COMPARE(totals->text(), QStringLiteral("本工位：通过 1　失败 0　每小时 —"));
    const auto *table = child<QTableView>(window, QStringLiteral("unitTable"));
    QVERIFY(table->columnWidth(pairwick::stationwindow::UnitTableModel::Address) >
            table->fontMetrics().horizontalAdvance(QStringLiteral("0A51:00:001234")));
}

QTEST_MAIN(TestStationWindow)
