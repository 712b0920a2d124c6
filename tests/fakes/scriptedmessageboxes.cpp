// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedmessageboxes.h"

#include <QStringList>

namespace pairwick::fakes {

bool ScriptedMessageBoxes::record(Style style, const QString &text, QList<bool> &answers) {
    m_shown.append({style, text});
    if (m_whileShown)
        m_whileShown(m_shown.last());
    return answers.isEmpty() ? true : answers.takeFirst();
}

void ScriptedMessageBoxes::warning(const QString &text) {
    QList<bool> none;
    record(Style::Warning, text, none);
}

bool ScriptedMessageBoxes::confirm(const QString &text) {
    return record(Style::Confirmation, text, m_confirmations);
}

bool ScriptedMessageBoxes::askContinue(const QString &text) {
    return record(Style::ContinueQuestion, text, m_questions);
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList all;
    for (const Shown &box : m_shown)
        all.append(box.text);
    return all;
}

QStringList ScriptedMessageBoxes::texts(Style style) const {
    QStringList matching;
    for (const Shown &box : m_shown) {
        if (box.style == style)
            matching.append(box.text);
    }
    return matching;
}

}  // namespace pairwick::fakes
