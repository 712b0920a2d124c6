// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <array>

class QStatusBar;
class QWidget;

namespace pairwick::accessibility {

// Makes a text reach assistive technology as a notification. A screen reader speaks a changed
// name only on the object with the focus, so an outcome shown elsewhere (a status bar's text, a
// tile's new state) would go unheard; a notification shown inside the widget it concerns is
// spoken at once, and the focus stays where it is. The widget itself looks and reads as before.
class Announcer final : public QObject {
    Q_OBJECT

public:
    explicit Announcer(QWidget &host);
    // Every new text of the bar is announced, as a status bar's notification.
    explicit Announcer(QStatusBar &statusBar);

    void announce(const QString &text);

private:
    QWidget &m_host;
    // A screen reader reads a notification's name only when it comes to the event, and takes
    // an object shown again before then for one piece of news: texts written one right after
    // the other (a read that finds several UART settings wrong) would all be heard as the last.
    // So each text takes the next of a few notices and keeps its name while it waits.
    std::array<QWidget *, 8> m_notices;
    std::size_t m_current = 0;
};

}  // namespace pairwick::accessibility
