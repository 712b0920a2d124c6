// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "about/apptitle.h"
#include "about/browserlauncher.h"
#include "about/frmabout.h"

using pairwick::about::BrowserLauncher;
using pairwick::about::frmAbout;

namespace {

const QSize DialogSize(422, 240);

struct LaunchCall {
    QString program;
    QStringList arguments;
};

// Records every start request and answers as told, so a missing browser can be played.
class RecordingLauncher final : public BrowserLauncher {
public:
    bool startDetached(const QString &program, const QStringList &arguments) override {
        calls.append({program, arguments});
        return succeeds;
    }

    bool succeeds = true;
    QList<LaunchCall> calls;
};

QColor windowTextOf(const QWidget *widget) {
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

bool anyMessageBoxShown() {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        return qobject_cast<const QMessageBox *>(window) != nullptr;
    });
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadStepNamesTheApplication();
    void loadStepFollowsTheDisplayName_data();
    void loadStepFollowsTheDisplayName();

    void dialogHasFixedSizeAndIcon();
    void titleBarOffersOnlyClose();
    void controlGeometry_data();
    void controlGeometry();
    void controlTexts_data();
    void controlTexts();
    void makerAndNoticeAreWritten();
    void textsFitTheirLabels_data();
    void textsFitTheirLabels();
    void noCaptionHasAccessKey();
    void textColours_data();
    void textColours();
    void addressIsDrawnInRed();
    void etchedRuleIsGreyOverWhite_data();
    void etchedRuleIsGreyOverWhite();
    void imagesAreLoaded_data();
    void imagesAreLoaded();
    void applicationIconKeepsToAPalette();
    void imagesAndAddressHaveAccessibleNames();

    void onlyOkTakesFocus();
    void closingKeysCloseAndDeleteTheDialog_data();
    void closingKeysCloseAndDeleteTheDialog();
    void okButtonClosesAndDeletesTheDialog();
    void closeButtonClosesAndDeletesTheDialog();

    void addressLooksClickable();
    void addressClickStartsTheBrowser_data();
    void addressClickStartsTheBrowser();
    void addressPressDraggedAwayStartsNothing();
    void failingBrowserLeavesTheDialogQuiet();

    void processLauncherReportsWhetherTheProgramStarted_data();
    void processLauncherReportsWhetherTheProgramStarted();

private:
    QWidget *control(const char *name) const;
    bool showDialog();

    RecordingLauncher m_launcher;
    QPointer<frmAbout> m_dialog;
};

void TestAbout::init() {
    m_launcher.calls.clear();
    m_launcher.succeeds = true;
    m_dialog = new frmAbout(m_launcher);
}

void TestAbout::cleanup() {
    delete m_dialog.data();
    QGuiApplication::setApplicationDisplayName(QString());
}

QWidget *TestAbout::control(const char *name) const {
    auto *widget = m_dialog->findChild<QWidget *>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("the About dialog has no control named %s", name);
    }
    return widget;
}

bool TestAbout::showDialog() {
    m_dialog->show();
    // Without a window manager nobody else activates it.
    m_dialog->activateWindow();
    return QTest::qWaitForWindowActive(m_dialog);
}

void TestAbout::loadStepNamesTheApplication() {
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("关于 Pairwick"));
    QCOMPARE(qobject_cast<QLabel *>(control("lblTitle"))->text(), QStringLiteral("Pairwick"));
    QCOMPARE(pairwick::about::ApplicationTitle, QStringLiteral("Pairwick"));
}

void TestAbout::loadStepFollowsTheDisplayName_data() {
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<QString>("title");

    QTest::newRow("cleared") << QString() << QStringLiteral("Pairwick");
    QTest::newRow("executable name")
        << QCoreApplication::applicationName() << QStringLiteral("Pairwick");
    QTest::newRow("set by the application")
        << QStringLiteral("Spielwerk") << QStringLiteral("Spielwerk");
}

void TestAbout::loadStepFollowsTheDisplayName() {
    QFETCH(QString, displayName);
    QFETCH(QString, title);

    QGuiApplication::setApplicationDisplayName(displayName);
    const QPointer<frmAbout> dialog = new frmAbout(m_launcher);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("关于 ") + title);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), title);
    delete dialog.data();
}

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

void TestAbout::onlyOkTakesFocus() {
    QWidget *ok = control("cmdOK");
    const auto widgets = m_dialog->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (widget != ok) {
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
        }
    }
    QVERIFY(qobject_cast<QPushButton *>(ok)->isDefault());

    QVERIFY(showDialog());
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
}

void TestAbout::closingKeysCloseAndDeleteTheDialog_data() {
    QTest::addColumn<Qt::Key>("key");

    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter") << Qt::Key_Enter;
    QTest::newRow("Escape") << Qt::Key_Escape;
}

void TestAbout::closingKeysCloseAndDeleteTheDialog() {
    QFETCH(Qt::Key, key);

    QVERIFY(showDialog());
    QTest::keyClick(QApplication::focusWidget(), key);
    QTRY_VERIFY(m_dialog.isNull());
    QVERIFY(m_launcher.calls.isEmpty());
}

void TestAbout::okButtonClosesAndDeletesTheDialog() {
    QVERIFY(showDialog());
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAbout::closeButtonClosesAndDeletesTheDialog() {
    QVERIFY(showDialog());
    QVERIFY(m_dialog->close());
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAbout::addressLooksClickable() {
    const QWidget *address = control("Label1");
    QCOMPARE(address->cursor().shape(), Qt::PointingHandCursor);

    const QFont font = address->font();
    QCOMPARE(font.families().value(0), QStringLiteral("宋体"));
    QCOMPARE(font.pointSizeF(), 10.5);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.bold());
}

void TestAbout::addressClickStartsTheBrowser_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<qsizetype>("starts");

    QTest::newRow("left") << Qt::LeftButton << qsizetype(1);
    QTest::newRow("right") << Qt::RightButton << qsizetype(0);
    QTest::newRow("middle") << Qt::MiddleButton << qsizetype(0);
}

void TestAbout::addressClickStartsTheBrowser() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(qsizetype, starts);

    QVERIFY(showDialog());
    auto *address = qobject_cast<QLabel *>(control("Label1"));
    QTest::mouseClick(address, button);

    QCOMPARE(m_launcher.calls.size(), starts);
    if (starts == 0) {
        return;
    }
    const LaunchCall &call = m_launcher.calls.first();
    QCOMPARE(call.program, pairwick::about::webBrowserProgram());
#ifndef Q_OS_WIN
    QCOMPARE(call.program, QStringLiteral("xdg-open"));
#endif
    QCOMPARE(call.arguments, QStringList{address->text()});
    QVERIFY(call.arguments.first().startsWith(QStringLiteral("https://")));
    QVERIFY(m_dialog->isVisible());
}

void TestAbout::addressPressDraggedAwayStartsNothing() {
    QVERIFY(showDialog());
    QWidget *address = control("Label1");
    QTest::mousePress(address, Qt::LeftButton);
    QTest::mouseRelease(address, Qt::LeftButton, {}, QPoint(-20, -20));

    QVERIFY(m_launcher.calls.isEmpty());
}

void TestAbout::failingBrowserLeavesTheDialogQuiet() {
    m_launcher.succeeds = false;
    QVERIFY(showDialog());

    QTest::mouseClick(control("Label1"), Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(m_launcher.calls.size(), 1);
    QVERIFY(!m_dialog.isNull());
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!anyMessageBoxShown());

    // Still usable: a second click tries again, and the button still closes it.
    QTest::mouseClick(control("Label1"), Qt::LeftButton);
    QCOMPARE(m_launcher.calls.size(), 2);
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAbout::processLauncherReportsWhetherTheProgramStarted_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("started");

    QTest::newRow("missing program")
        << QStringLiteral("/nonexistent/pairwick-no-such-browser") << false;
    const QString harmless = QStandardPaths::findExecutable(QStringLiteral("true"));
    if (!harmless.isEmpty()) {
        QTest::newRow("program that exists") << harmless << true;
    }
}

void TestAbout::processLauncherReportsWhetherTheProgramStarted() {
    QFETCH(QString, program);
    QFETCH(bool, started);

    pairwick::about::ProcessBrowserLauncher launcher;
    QCOMPARE(launcher.startDetached(program, {QStringLiteral("https://tarnholt.example/")}),
             started);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
