// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's frame, controls and texts: fixed pixel positions that must still hold every text.
#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "tst_about.h"

namespace {

const QSize DialogSize(422, 240);

}  // namespace

void TestAbout::dialogHasFixedSizeAndIcon() {
    QCOMPARE(m_dialog->size(), DialogSize);
    QCOMPARE(m_dialog->minimumSize(), DialogSize);
    QCOMPARE(m_dialog->maximumSize(), DialogSize);
    QVERIFY(m_dialog->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!m_dialog->isModal());

    const QIcon icon = m_dialog->windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(24, 24)));
}

void TestAbout::titleBarOffersOnlyClose() {
    const Qt::WindowFlags flags = m_dialog->windowFlags();

    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
}

void TestAbout::controlGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("geometry");

    const auto row = [](const char *name, const char *className, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(className)
                            << geometry;
    };
    row("Image1", "QLabel", QRect(24, 0, 150, 61));
    row("lblTitle", "QLabel", QRect(200, 32, 51, 16));
    row("Image2", "QLabel", QRect(264, 24, 24, 24));
    row("lblDescription", "QLabel", QRect(80, 72, 259, 14));
    row("Label3", "QLabel", QRect(80, 88, 265, 17));
    row("Label2", "QLabel", QRect(80, 112, 336, 25));
    row("Label1", "QLabel", QRect(112, 136, 193, 17));
    row("Line1_1", "QFrame", QRect(6, 163, 410, 1));
    row("Line1_0", "QFrame", QRect(7, 164, 370, 2));
    row("lblDisclaimer", "QLabel", QRect(17, 175, 266, 55));
    row("cmdOK", "QPushButton", QRect(304, 192, 100, 23));
}

void TestAbout::controlGeometry() {
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QRect, geometry);

    const QWidget *widget = control(name.toLatin1().constData());
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(!widget->isHidden());
}

void TestAbout::controlTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wraps");

    QTest::newRow("lblDescription")
        << "lblDescription" << QStringLiteral("蓝牙串口适配器参数设置软件 Pairwick Ver 1.2")
        << false;
    QTest::newRow("Label2") << "Label2"
                            << QStringLiteral(
                                   "软件的使用及蓝牙串口适配器产品请访问Tarnholt官方网站：")
                            << true;
    QTest::newRow("Label1") << "Label1" << QStringLiteral("https://tarnholt.example/") << false;
    QTest::newRow("cmdOK") << "cmdOK" << QStringLiteral("确定") << false;
}

void TestAbout::controlTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, wraps);

    const QWidget *widget = control(name.toLatin1().constData());
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        QCOMPARE(button->text(), text);
        return;
    }
    const auto *label = qobject_cast<const QLabel *>(widget);
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->wordWrap(), wraps);
}

void TestAbout::makerAndNoticeAreWritten() {
    const auto *maker = qobject_cast<QLabel *>(control("Label3"));
    QVERIFY(maker->text().contains(QStringLiteral("Tarnholt")));
    QVERIFY(!maker->text().contains(QLatin1Char('\n')));
    QVERIFY(!maker->wordWrap());

    const auto *notice = qobject_cast<QLabel *>(control("lblDisclaimer"));
    QVERIFY(notice->text().contains(QStringLiteral("著作权法")));
    QVERIFY(notice->text().contains(QStringLiteral("国际公约")));
    QVERIFY(notice->wordWrap());
}

void TestAbout::textsFitTheirLabels_data() {
    QTest::addColumn<QString>("name");

    for (const char *name :
         {"lblTitle", "lblDescription", "Label3", "Label2", "Label1", "lblDisclaimer"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

// The geometry is fixed in pixels while fonts differ between systems: catch clipped texts.
void TestAbout::textsFitTheirLabels() {
    QFETCH(QString, name);

    const auto *label = qobject_cast<QLabel *>(control(name.toLatin1().constData()));
    QVERIFY(!label->text().isEmpty());
    if (label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        QVERIFY2(needed <= label->height(), qPrintable(QString::number(needed)));
    } else {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->width(), qPrintable(QString::number(needed)));
    }
}

void TestAbout::noCaptionHasAccessKey() {
    QVERIFY(!m_dialog->windowTitle().contains(QLatin1Char('&')));
    const auto labels = m_dialog->findChildren<QLabel *>();
    QVERIFY(labels.size() >= 8);
    for (const QLabel *label : labels) {
        QVERIFY2(!label->text().contains(QLatin1Char('&')), qPrintable(label->objectName()));
        QVERIFY2(label->buddy() == nullptr, qPrintable(label->objectName()));
    }
    const auto buttons = m_dialog->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons) {
        QVERIFY2(!button->text().contains(QLatin1Char('&')), qPrintable(button->objectName()));
    }
}
