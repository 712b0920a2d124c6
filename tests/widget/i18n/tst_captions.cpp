// SPDX-License-Identifier: GPL-3.0-or-later
// The captions of the main window and the About dialog in each language of the interface: they
// fit their controls at the fixed geometry, and the English windows show no Chinese caption.
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QTest>
#include <QTranslator>

#include "about/frmabout.h"
#include "i18n/translation.h"
#include "windowharness.h"

using pairwick::i18n::Language;

Q_DECLARE_METATYPE(Language)

namespace {

// A one-line label must also keep its ink off its neighbours, which may overlap its box: the
// blank half of a full-width colon may lie under one, and the ink, rounded outwards, may touch a
// neighbour's one-pixel frame.
bool labelFits(const QLabel *label, const QFontMetrics &metrics) {
    if (label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    const QRect line = label->style()->itemTextRect(metrics, label->contentsRect(),
                                                    label->alignment(), true, label->text());
    const QRect ink = metrics.tightBoundingRect(label->text())
                          .translated(label->pos() + line.topLeft() + QPoint(0, metrics.ascent()));
    const auto siblings =
        label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return line.width() <= label->contentsRect().width() &&
           std::none_of(siblings.cbegin(), siblings.cend(), [&](const QWidget *sibling) {
               return sibling != label && !sibling->isHidden() &&
                      sibling->geometry().adjusted(1, 1, -1, -1).intersects(ink);
           });
}

// Whether a control's caption fits where its style draws it.
bool fits(const QWidget *control, const QString &text) {
    const QFontMetrics metrics = control->fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return labelFits(label, metrics);
    QStyleOptionButton button;
    button.initFrom(control);
    for (const auto &[type, contents] : {std::pair{"QPushButton", QStyle::SE_PushButtonContents},
                                         std::pair{"QRadioButton", QStyle::SE_RadioButtonContents},
                                         std::pair{"QCheckBox", QStyle::SE_CheckBoxContents}}) {
        if (control->inherits(type))
            return metrics.horizontalAdvance(text) <=
                   control->style()->subElementRect(contents, &button, control).width();
    }
    // A frame asks for its border and its title.
    return control->minimumSizeHint().width() <= control->width();
}

// The caption of every control of `window` that does not fit and, with `latinOnly`, every
// caption, title or name that is Chinese.
QStringList captionFaults(const QWidget &window, bool latinOnly) {
    const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QStringList faults;
    if (latinOnly && window.windowTitle().contains(chinese))
        faults.append(window.windowTitle());
    const auto controls = window.findChildren<QWidget *>();
    for (const QWidget *control : controls) {
        const bool captioned = control->inherits("QLabel") || control->inherits("QAbstractButton");
        const auto *box = qobject_cast<const QGroupBox *>(control);
        const QString text = box         ? box->title()
                             : captioned ? control->property("text").toString()
                                         : QString();
        const QString name = control->accessibleName() + control->accessibleDescription();
        if (latinOnly && (text + name).contains(chinese))
            faults.append(control->objectName() + QStringLiteral(" is Chinese: ") + text + name);
        if (!text.isEmpty() && !fits(control, text))
            faults.append(control->objectName() + QStringLiteral(" does not fit: ") + text);
    }
    return faults;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void captionsFit_data();
    void captionsFit();
};

void TestCaptions::captionsFit_data() {
    QVERIFY2(QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK SC")),
             "the CJK font the README asks for (fonts-noto-cjk) is not installed");
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("connected");
    QTest::newRow("Chinese") << Language::Chinese << false;
    QTest::newRow("Chinese, connected") << Language::Chinese << true;
    QTest::newRow("English") << Language::English << false;
    QTest::newRow("English, connected") << Language::English << true;
}

void TestCaptions::captionsFit() {
    QFETCH(Language, language);
    QFETCH(bool, connected);
    const auto translation = pairwick::i18n::installTranslation(language);
    QCOMPARE(translation != nullptr, language != Language::Chinese);
    pairwick::fakes::WindowHarness harness;
    if (connected)
        harness.connectAdapter();
    harness.click("Command5");
    const std::unique_ptr<QDialog> about(harness.form->aboutDialog());
    QVERIFY(about);

    // The connection's own texts are not translated yet.
    const bool latinOnly = language == Language::English && !connected;
    const QStringList faults =
        captionFaults(*harness.form, latinOnly) + captionFaults(*about, latinOnly);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
