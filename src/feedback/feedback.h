// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QProgressBar;
class QStatusBar;

namespace pairwick::feedback {

class MessageBoxes;

// The status line, the progress bar lying over it, and the message boxes: how every operation
// tells the user what it does.
class Feedback {
public:
    Feedback(QStatusBar &statusBar, QProgressBar &progressBar, MessageBoxes &boxes);

    // Replaces the whole line; it stays until the next write.
    void setStatus(const QString &text);
    QString status() const;

    void showProgress();
    void setProgress(int value);
    void hideProgress();
    // Every ending of an operation that used the bar: value 0, hidden, the outcome on the line.
    void endProgress(const QString &outcome);

    MessageBoxes &boxes() { return m_boxes; }

private:
    QStatusBar &m_statusBar;
    QProgressBar &m_progressBar;
    MessageBoxes &m_boxes;
};

}  // namespace pairwick::feedback
