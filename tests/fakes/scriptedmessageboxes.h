// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "feedback/messageboxes.h"

namespace pairwick::fakes {

// Answers message boxes from a script and keeps every one shown, in order.
class ScriptedMessageBoxes : public feedback::MessageBoxes {
public:
    enum class Style { Warning, Confirmation, ContinueQuestion };
    struct Shown {
        Style style;
        QString text;
    };

    void warning(const QString &text) override;
    bool confirm(const QString &text) override;
    bool askContinue(const QString &text) override;

    // Answers for confirmations (OK = true) and continue questions (Yes = true), in order.
    // With the script used up, OK and Yes are the answers, as the default buttons.
    void answerConfirmations(QList<bool> answers) { m_confirmations = std::move(answers); }
    void answerQuestions(QList<bool> answers) { m_questions = std::move(answers); }
    // Runs while a box is up, as a user or a device might act then.
    void whileShown(std::function<void(const Shown &)> action) { m_whileShown = std::move(action); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    QStringList texts(Style style) const;
    void clear() { m_shown.clear(); }

private:
    bool record(Style style, const QString &text, QList<bool> &answers);

    QList<Shown> m_shown;
    QList<bool> m_confirmations;
    QList<bool> m_questions;
    std::function<void(const Shown &)> m_whileShown;
};

}  // namespace pairwick::fakes
