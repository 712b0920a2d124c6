// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/qtmessageboxes.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <array>

#include "about/apptitle.h"

namespace pairwick::feedback {

namespace {

struct ButtonCaption {
    QMessageBox::StandardButton button;
    const char *text;
};

// Our own captions rather than Qt's, so that the buttons speak the window's language whether or
// not Qt's translations for it are installed.
constexpr const char *CaptionContext = "pairwick::feedback::QtMessageBoxes";
constexpr std::array ButtonCaptions{
    ButtonCaption{QMessageBox::Ok, QT_TRANSLATE_NOOP("pairwick::feedback::QtMessageBoxes", "确定")},
    ButtonCaption{QMessageBox::Cancel,
                  QT_TRANSLATE_NOOP("pairwick::feedback::QtMessageBoxes", "取消")},
    ButtonCaption{QMessageBox::Yes, QT_TRANSLATE_NOOP("pairwick::feedback::QtMessageBoxes", "是")},
    ButtonCaption{QMessageBox::No, QT_TRANSLATE_NOOP("pairwick::feedback::QtMessageBoxes", "否")},
};

void captionButtons(QMessageBox &box) {
    for (const ButtonCaption &caption : ButtonCaptions) {
        if (QAbstractButton *button = box.button(caption.button))
            button->setText(QCoreApplication::translate(CaptionContext, caption.text));
    }
}

}  // namespace

QMessageBox::StandardButton QtMessageBoxes::show(QMessageBox::Icon icon, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, about::applicationTitle(), text, buttons, m_parent);
    box.setObjectName(QStringLiteral("PairwickMessageBox"));
    box.setDefaultButton(defaultButton);
    box.setTextFormat(Qt::PlainText);
    captionButtons(box);
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void QtMessageBoxes::warning(const QString &text) {
    show(QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::confirm(const QString &text) {
    return show(QMessageBox::NoIcon, text, QMessageBox::Ok | QMessageBox::Cancel,
                QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtMessageBoxes::askContinue(const QString &text) {
    return show(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

}  // namespace pairwick::feedback
