// SPDX-License-Identifier: GPL-3.0-or-later
// The captions of the main window and the About dialog in each language of the interface: they
// fit their controls at the fixed geometry, and the English window shows no Chinese caption.
#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyleOption>
#include <QTest>
#include <QTranslator>

#include "about/frmabout.h"
#include "i18n/translation.h"
#include "windowharness.h"

using pairwick::fakes::WindowHarness;
using pairwick::i18n::Language;

Q_DECLARE_METATYPE(Language)

namespace {

QString describe(const QWidget *control, const QString &text, int needed, int room) {
    return QStringLiteral("%1 \"%2\" needs %3 px, has %4 px")
        .arg(control->objectName(), text)
        .arg(needed)
        .arg(room);
}

// Where a button's caption is drawn, beside any indicator, in the control's own coordinates.
QRect buttonTextRoom(const QAbstractButton *button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement element =
        qobject_cast<const QPushButton *>(button) ? QStyle::SE_PushButtonContents
        : button->inherits("QRadioButton")        ? QStyle::SE_RadioButtonContents
                                                  : QStyle::SE_CheckBoxContents;
    return button->style()->subElementRect(element, &option, button);
}

QRect groupTitleRoom(const QGroupBox *box) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                        box);
}

// A one-line label's text must also keep off its neighbours, which may overlap the label's box.
// What counts there is the ink, as the blank side of a full-width colon may well lie under one;
// and the ink, rounded outwards, may touch a neighbour's one-pixel frame but not run inside it.
QString labelFault(const QLabel *label) {
    const QString text = label->text();
    if (label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        return needed > label->height() ? describe(label, text, needed, label->height())
                                        : QString();
    }
    const QFontMetrics metrics = label->fontMetrics();
    const int needed = metrics.horizontalAdvance(text);
    const QRect room = label->contentsRect();
    if (needed > room.width())
        return describe(label, text, needed, room.width());
    const QRect line = label->style()->itemTextRect(metrics, room, label->alignment(), true, text);
    const QRect ink = metrics.tightBoundingRect(text).translated(
        label->pos() + QPoint(line.left(), line.top() + metrics.ascent()));
    const auto siblings =
        label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *sibling : siblings) {
        const QRect inside = sibling->geometry().adjusted(1, 1, -1, -1);
        if (sibling != label && !sibling->isHidden() && inside.intersects(ink))
            return QStringLiteral("%1 \"%2\" runs into %3")
                .arg(label->objectName(), text, sibling->objectName());
    }
    return {};
}

// Every caption of `window` that does not fit, described.
QStringList captionFaults(const QWidget &window) {
    QStringList faults;
    const auto labels = window.findChildren<QLabel *>();
    for (const QLabel *label : labels) {
        if (!label->text().isEmpty())
            faults.append(labelFault(label));
    }
    const auto buttons = window.findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons) {
        const int needed = button->fontMetrics().horizontalAdvance(button->text());
        const QRect room = buttonTextRoom(button);
        if (needed > room.width() || !button->rect().contains(room))
            faults.append(describe(button, button->text(), needed, room.width()));
    }
    const auto boxes = window.findChildren<QGroupBox *>();
    for (const QGroupBox *box : boxes) {
        const int needed = box->fontMetrics().horizontalAdvance(box->title());
        const QRect room = groupTitleRoom(box);
        if (needed > room.width() || !box->rect().contains(room))
            faults.append(describe(box, box->title(), needed, room.width()));
    }
    faults.removeAll(QString());
    return faults;
}

// Every text of `window` a user sees or hears as a caption: titles, captions, names, tooltips
// and the status line. Entries and values of fields are the adapter's and are left out.
QStringList captionsOf(const QWidget &window) {
    QStringList texts{window.windowTitle()};
    auto widgets = window.findChildren<QWidget *>();
    widgets.prepend(const_cast<QWidget *>(&window));
    for (const QWidget *widget : std::as_const(widgets)) {
        texts << widget->accessibleName() << widget->accessibleDescription() << widget->toolTip();
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            texts << label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts << button->text();
        else if (const auto *box = qobject_cast<const QGroupBox *>(widget))
            texts << box->title();
        else if (const auto *status = qobject_cast<const QStatusBar *>(widget))
            texts << status->currentMessage();
    }
    return texts;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
    void englishWindowsShowNoChinese_data();
    void englishWindowsShowNoChinese();
};

void TestCaptions::initTestCase() {
    const QStringList families = QFontDatabase::families();
    QVERIFY2(families.contains(QStringLiteral("Noto Sans CJK SC")),
             "the CJK font the README asks for (fonts-noto-cjk) is not installed");
}

void TestCaptions::captionsFitTheirControls_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("connected");
    for (const auto &[name, language] :
         {std::pair{"Chinese", Language::Chinese}, std::pair{"English", Language::English}}) {
        QTest::addRow("%s, idle", name) << language << false;
        QTest::addRow("%s, connected", name) << language << true;
    }
}

void TestCaptions::captionsFitTheirControls() {
    QFETCH(Language, language);
    QFETCH(bool, connected);
    const auto translation = pairwick::i18n::installTranslation(language);
    WindowHarness harness;
    if (connected)
        harness.connectAdapter();
    harness.click("Command5");
    const QPointer<QDialog> about = harness.form->aboutDialog();
    QVERIFY(about);

    const QStringList faults = captionFaults(*harness.form) + captionFaults(*about);
    delete about.data();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestCaptions::englishWindowsShowNoChinese_data() {
    QTest::addColumn<bool>("about");
    QTest::newRow("main window") << false;
    QTest::newRow("About dialog") << true;
}

void TestCaptions::englishWindowsShowNoChinese() {
    QFETCH(bool, about);
    const auto translation = pairwick::i18n::installTranslation(Language::English);
    QVERIFY(translation);
    WindowHarness harness;
    harness.click("Command5");
    const std::unique_ptr<QDialog> dialog(harness.form->aboutDialog());
    QVERIFY(dialog);

    const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    const QWidget &window = about ? static_cast<QWidget &>(*dialog) : *harness.form;
    const QStringList shown = captionsOf(window).filter(chinese);
    QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
