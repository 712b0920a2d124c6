// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/qtmessageboxes.h"

#include "about/apptitle.h"

namespace pairwick::feedback {

QMessageBox::StandardButton QtMessageBoxes::show(QMessageBox::Icon icon, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, about::ApplicationTitle, text, buttons, m_parent);
    box.setObjectName(QStringLiteral("PairwickMessageBox"));
    box.setDefaultButton(defaultButton);
    box.setTextFormat(Qt::PlainText);
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
