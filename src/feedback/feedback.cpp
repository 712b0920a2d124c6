// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/feedback.h"

#include <QProgressBar>
#include <QStatusBar>

namespace pairwick::feedback {

Feedback::Feedback(QStatusBar &statusBar, QProgressBar &progressBar, MessageBoxes &boxes)
    : m_statusBar(statusBar), m_progressBar(progressBar), m_boxes(boxes) {}

void Feedback::setStatus(const QString &text) {
    m_statusBar.showMessage(text);
    // A screen reader reads the line through the bar's name.
    m_statusBar.setAccessibleName(text);
}

QString Feedback::status() const {
    return m_statusBar.currentMessage();
}

void Feedback::showProgress() {
    m_progressBar.show();
}

void Feedback::setProgress(int value) {
    m_progressBar.setValue(value);
}

void Feedback::hideProgress() {
    m_progressBar.hide();
}

void Feedback::endProgress(const QString &outcome) {
    m_progressBar.setValue(0);
    m_progressBar.hide();
    setStatus(outcome);
}

}  // namespace pairwick::feedback
