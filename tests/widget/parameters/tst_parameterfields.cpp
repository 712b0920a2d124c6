// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter fields on their own: clearing, and the role options' hold on the bound address.
#include <QTest>

#include "parameterview.h"

using pairwick::fakes::WindowHarness;

class TestParameterFields : public QObject {
    Q_OBJECT

private slots:
    void clearingTwiceLeavesExactLists();
    void clearingKeepsTheBoundAddressAsTheRoleLeftIt_data();
    void clearingKeepsTheBoundAddressAsTheRoleLeftIt();
    void roleOptionsInBothDirections();
};

namespace {

// A disconnect clears the fields; the connect read fills them first.
void clearByDisconnect(WindowHarness &harness) {
    if (ParameterView{harness}.caption() == u"连接")
        harness.click("Command1");
    harness.click("Command1");
}

}  // namespace

void TestParameterFields::clearingTwiceLeavesExactLists() {
    WindowHarness harness;
    for (int round = 0; round < 2; ++round) {
        clearByDisconnect(harness);
        const ParameterView view{harness};
        QCOMPARE(harness.find<QComboBox>("Combo2")->count(), 12);
        QCOMPARE(harness.find<QComboBox>("Combo3")->count(), 3);
        QCOMPARE(harness.find<QComboBox>("Combo4")->count(), 2);
        for (const char *list : {"Combo2", "Combo3", "Combo4"})
            QCOMPARE(view.listIndex(list), -1);
        QVERIFY(!view.master());
        QVERIFY(!view.slave());
        QVERIFY(!view.messages());
        for (const char *box : {"Text2", "Text3", "Text4", "Text5", "Text6"})
            QVERIFY2(view.text(box).isEmpty(), box);
        QVERIFY(harness.find<QLineEdit>("Text3")->isReadOnly());
        QVERIFY(harness.find<QLineEdit>("Text5")->isReadOnly());
    }
}

void TestParameterFields::clearingKeepsTheBoundAddressAsTheRoleLeftIt_data() {
    QTest::addColumn<QString>("role");
    QTest::addColumn<bool>("locked");
    QTest::newRow("slave") << "0" << true;
    QTest::newRow("master") << "1" << false;
}

void TestParameterFields::clearingKeepsTheBoundAddressAsTheRoleLeftIt() {
    QFETCH(QString, role);
    QFETCH(bool, locked);
    WindowHarness harness;
    harness.adapter.role = role;
    harness.connectAdapter();
    harness.click("Command1");
    const ParameterView view{harness};
    QVERIFY(view.text("Text6").isEmpty());
    QCOMPARE(view.boundAddressLocked(), locked);
    QCOMPARE(view.boundAddressEditable(), !locked);
}

void TestParameterFields::roleOptionsInBothDirections() {
    WindowHarness harness;
    harness.connectAdapter();
    const ParameterView view{harness};
    QCOMPARE(view.text("Text6"), harness.adapter.boundAddress);
    QTest::mouseClick(harness.find<QRadioButton>("Option2"), Qt::LeftButton);
    QVERIFY(view.slave());
    QVERIFY(view.text("Text6").isEmpty());
    QVERIFY(view.boundAddressLocked());
    QTest::mouseClick(harness.find<QRadioButton>("Option1"), Qt::LeftButton);
    QVERIFY(view.master());
    QVERIFY(view.boundAddressEditable());
    // Unlocking brings nothing back.
    QVERIFY(view.text("Text6").isEmpty());
}

QTEST_MAIN(TestParameterFields)
#include "tst_parameterfields.moc"
