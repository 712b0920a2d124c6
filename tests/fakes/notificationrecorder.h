// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QEvent>
#include <QObject>
#include <QStringList>

namespace pairwick::fakes {

// The texts of the notifications shown to assistive technology, in order, while installed on
// the application. Offscreen, the toolkit drops accessibility events unseen; a widget's showing
// is what it sends as ObjectShow.
class NotificationRecorder : public QObject {
public:
    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(watched);
            if (node && node->role() == QAccessible::Notification)
                shown.append(node->text(QAccessible::Name));
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace pairwick::fakes
