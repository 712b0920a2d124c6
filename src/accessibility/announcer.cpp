// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/announcer.h"

#include <QAccessibleWidget>
#include <QStatusBar>

namespace pairwick::accessibility {

namespace {

// Draws nothing and takes no input: it exists for assistive technology alone.
class Notice final : public QWidget {
    Q_OBJECT

public:
    explicit Notice(QWidget &parent) : QWidget(&parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // Not in the bar's layout, so its messages and widgets keep their places; one pixel
        // rather than none, so it counts as showing.
        setGeometry(0, 0, 1, 1);
        hide();
    }
};

QAccessibleInterface *noticeAsNotification(const QString &className, QObject *object) {
    if (className != QLatin1StringView(Notice::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<Notice *>(object), QAccessible::Notification);
}

}  // namespace

Announcer::Announcer(QStatusBar &statusBar)
    : QObject(&statusBar), m_statusBar(statusBar), m_notice(new Notice(statusBar)) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(noticeAsNotification);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // The bar tells only of a text that differs from the one it shows.
    connect(&statusBar, &QStatusBar::messageChanged, this, &Announcer::announce);
}

// Showing a notification is what makes a screen reader speak it. A window that is not on the
// screen has nobody to tell; once it opens, its status line reads the current text.
void Announcer::announce(const QString &text) {
    m_notice->hide();
    m_notice->setAccessibleName(text);
    if (!text.isEmpty() && m_statusBar.isVisible())
        m_notice->show();
}

}  // namespace pairwick::accessibility

#include "announcer.moc"
