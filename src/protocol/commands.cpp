// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commands.h"

namespace pairwick::protocol {

QString trimSpaces(const QString &text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

QString textArgument(const QString &fieldText) {
    QString argument = trimSpaces(fieldText);
    argument.remove(u'\r');
    argument.remove(u'\n');
    return argument;
}

QString parityArgument(const QString &entryText) {
    return trimSpaces(entryText).left(1);
}

QString flagArgument(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace pairwick::protocol
