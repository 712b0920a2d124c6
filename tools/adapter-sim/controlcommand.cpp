// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlcommand.h"

#include "link/logline.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>

namespace pairwick::adaptersim {

namespace {

struct ActionWord {
    UnitAction action;
    const char *word;
};

constexpr std::array<ActionWord, 5> actionWords{{
    {UnitAction::Next, "next"},
    {UnitAction::Out, "out"},
    {UnitAction::In, "in"},
    {UnitAction::Mute, "mute"},
    {UnitAction::Unmute, "unmute"},
}};

}  // namespace

std::variant<ControlCommand, QString> parseControlLine(QByteArrayView line) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\S+)\s+COM([1-9][0-9]{0,3})\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromLatin1(link::escapedBytes(line));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return QStringLiteral("\"%1\" is not ACTION COMn").arg(text);
    }
    const QString word = match.captured(1);
    const auto *entry =
        std::find_if(actionWords.begin(), actionWords.end(),
                     [&](const ActionWord &a) { return word == QLatin1String(a.word); });
    if (entry == actionWords.end()) {
        QStringList words;
        for (const ActionWord &known : actionWords) {
            words.append(QLatin1String(known.word));
        }
        return QStringLiteral("\"%1\": the action is one of %2, not %3")
            .arg(text, words.join(QLatin1String(", ")), word);
    }
    return ControlCommand{entry->action, match.captured(2).toInt(), text.trimmed()};
}

}  // namespace pairwick::adaptersim
