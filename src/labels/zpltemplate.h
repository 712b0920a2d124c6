// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <variant>

#include "labels/labelfields.h"

namespace pairwick::labels {

// A label in the printers' own language, as a label designer writes it: one ^XA ... ^XZ, the
// station's fields inside field data (^FD, ^FV). Every field's value goes into the label through
// ^FH's hexadecimal escapes wherever it could be taken for ZPL, so a name holding ^XZ prints as
// those three characters and neither ends the label nor starts a command.
class ZplTemplate {
public:
    // The template, or why it is none: not one label, a field outside field data or unknown,
    // a changed command character or an encoding other than UTF-8.
    static std::variant<ZplTemplate, QString> parse(const QString &text);

    // The label to send, in UTF-8.
    QByteArray fill(const LabelValues &values) const;

private:
    // The text between two fields' values, or a field data's values and the ^FH in effect.
    struct Part {
        QString text;
        QList<TextPiece> data;
        QChar hexIndicator;
    };
    QList<Part> m_parts;
};

}  // namespace pairwick::labels
