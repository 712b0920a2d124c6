// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QStatusBar;
class QWidget;

namespace pairwick::accessibility {

// Makes each new text of a status bar reach assistive technology as a notification. A screen
// reader speaks a changed name only on the object with the focus, so the outcome of an operation
// written to the bar would go unheard; a notification shown beside it is spoken at once, and
// the focus stays where it is. The bar itself looks and reads as before.
class Announcer final : public QObject {
    Q_OBJECT

public:
    explicit Announcer(QStatusBar &statusBar);

private:
    void announce(const QString &text);

    QStatusBar &m_statusBar;
    QWidget *m_notice;
};

}  // namespace pairwick::accessibility
