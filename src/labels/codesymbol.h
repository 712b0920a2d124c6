// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <variant>

namespace pairwick::labels {

enum class CodeKind { Qr, Code128 };

// A code as zint draws it, with the quiet zones its standard asks for, in zint's units.
struct CodeDrawing {
    QSizeF size;
    QList<QRectF> bars;  // the dark modules
    qreal module = 1;    // the narrowest bar's width
};

// The code of text, or why zint could not make one (too long for the code, a character it
// cannot hold), in zint's words.
std::variant<CodeDrawing, QString> drawCode(CodeKind kind, const QString &text);

}  // namespace pairwick::labels
