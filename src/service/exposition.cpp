// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/exposition.h"

#include <QLocale>

namespace pairwick::service {

namespace {

// A label value may hold anything but must escape a backslash, a double quote and a newline.
QByteArray escaped(const QString &value) {
    QByteArray text;
    for (const char c : value.toUtf8()) {
        if (c == '\\' || c == '"')
            text.append('\\').append(c);
        else if (c == '\n')
            text.append("\\n");
        else
            text.append(c);
    }
    return text;
}

// Plain decimals, as short as they stay exact: a unix time reads as one.
QByteArray number(double value) {
    return QByteArray::number(value, 'f', QLocale::FloatingPointShortest);
}

}  // namespace

void Exposition::family(const char *name, const char *type, const char *help) {
    m_text.append("# HELP ").append(name).append(' ').append(help).append('\n');
    m_text.append("# TYPE ").append(name).append(' ').append(type).append('\n');
}

void Exposition::sample(const QByteArray &name, const Labels &labels, double value) {
    m_text.append(name);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        m_text.append(i == 0 ? '{' : ',')
            .append(labels[i].first.toUtf8())
            .append("=\"")
            .append(escaped(labels[i].second))
            .append('"');
    }
    if (!labels.isEmpty())
        m_text.append('}');
    m_text.append(' ').append(number(value)).append('\n');
}

}  // namespace pairwick::service
