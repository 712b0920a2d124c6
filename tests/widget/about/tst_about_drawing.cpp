// SPDX-License-Identifier: GPL-3.0-or-later
// What the dialog draws: colours, the etched rule and its pictures, checked on the grabbed pixels.
#include <QApplication>
#include <QLabel>
#include <QtTest>

#include "tst_about.h"

namespace {

QColor windowTextOf(const QWidget *widget) {
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

}  // namespace

void TestAbout::textColours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("lblTitle") << "lblTitle" << QColor(Qt::black);
    QTest::newRow("lblDescription") << "lblDescription" << QColor(Qt::black);
    QTest::newRow("Label1") << "Label1" << QColor(255, 0, 0);
    QTest::newRow("Line1_1") << "Line1_1" << QColor(128, 128, 128);
    QTest::newRow("Line1_0") << "Line1_0" << QColor(Qt::white);
    QTest::newRow("lblDisclaimer")
        << "lblDisclaimer" << QApplication::palette().color(QPalette::WindowText);
}

void TestAbout::textColours() {
    QFETCH(QString, name);
    QFETCH(QColor, colour);

    QCOMPARE(windowTextOf(control(name.toLatin1().constData())), colour);
}

void TestAbout::addressIsDrawnInRed() {
    const QImage drawn = control("Label1")->grab().toImage();
    int redPixels = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor pixel = drawn.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80) {
                ++redPixels;
            }
        }
    }
    QVERIFY2(redPixels > 20, qPrintable(QString::number(redPixels)));
}

void TestAbout::etchedRuleIsGreyOverWhite_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("grey, left end") << QPoint(6, 163) << QColor(128, 128, 128);
    QTest::newRow("grey, right end") << QPoint(415, 163) << QColor(128, 128, 128);
    QTest::newRow("white, left end, upper row") << QPoint(7, 164) << QColor(Qt::white);
    QTest::newRow("white, middle, lower row") << QPoint(200, 165) << QColor(Qt::white);
    QTest::newRow("white, right end") << QPoint(376, 165) << QColor(Qt::white);

    // The rule stops where it should: the face shows just past its ends and below it.
    const QColor face = QApplication::palette().color(QPalette::Window);
    QTest::newRow("face past the grey line") << QPoint(416, 163) << face;
    QTest::newRow("face past the white line") << QPoint(377, 164) << face;
    QTest::newRow("face below the rule") << QPoint(200, 166) << face;
}

void TestAbout::etchedRuleIsGreyOverWhite() {
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);

    const QImage drawn = m_dialog->grab().toImage();
    QCOMPARE(drawn.pixelColor(point), colour);
}

void TestAbout::imagesAreLoaded_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    QTest::newRow("logo") << "Image1" << QSize(150, 61);
    QTest::newRow("icon") << "Image2" << QSize(24, 24);
}

void TestAbout::imagesAreLoaded() {
    QFETCH(QString, name);
    QFETCH(QSize, size);

    const auto *label = qobject_cast<QLabel *>(control(name.toLatin1().constData()));
    QVERIFY(label != nullptr);
    const QPixmap picture = label->pixmap();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), size);
}

void TestAbout::applicationIconKeepsToAPalette() {
    QImage icon(QStringLiteral(":/pairwick/icon.png"));
    QCOMPARE(icon.size(), QSize(24, 24));
    QCOMPARE(icon.format(), QImage::Format_Indexed8);
    QVERIFY(icon.colorCount() > 1);
    QVERIFY(icon.colorCount() <= 256);

    QImage logo(QStringLiteral(":/pairwick/logo.gif"));
    QCOMPARE(logo.size(), QSize(150, 61));
}

void TestAbout::imagesAndAddressHaveAccessibleNames() {
    QVERIFY(!control("Image1")->accessibleName().isEmpty());
    QVERIFY(!control("Image2")->accessibleName().isEmpty());

    const auto *address = qobject_cast<QLabel *>(control("Label1"));
    QCOMPARE(address->accessibleName(), QStringLiteral("网址 ") + address->text());
}
