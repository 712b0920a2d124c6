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

Announcer::Announcer(QWidget &host) : QObject(&host), m_host(host) {
    for (QWidget *&notice : m_notices)
        notice = new Notice(host);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(noticeAsNotification);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

Announcer::Announcer(QStatusBar &statusBar) : Announcer(static_cast<QWidget &>(statusBar)) {
    // The bar tells only of a text that differs from the one it shows.
    connect(&statusBar, &QStatusBar::messageChanged, this, &Announcer::announce);
}

// Showing a notification is what makes a screen reader speak it. A window that is not on the
// screen has nobody to tell; once it opens, the host reads the current text.
void Announcer::announce(const QString &text) {
    m_notices[m_current]->hide();
    m_current = (m_current + 1) % m_notices.size();
    QWidget *notice = m_notices[m_current];
    notice->setAccessibleName(text);
    if (!text.isEmpty() && m_host.isVisible())
        notice->show();
}

}  // namespace pairwick::accessibility

#include "announcer.moc"
