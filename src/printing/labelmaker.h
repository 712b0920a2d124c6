// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <variant>

#include "labels/labelvalues.h"
#include "printing/printjob.h"

namespace pairwick::printing {

// How a template becomes what its printer is sent: a ZPL template's filled text, an SVG
// template's PDF page. Whoever holds the drawing code makes one: a station without Qt Gui prints
// ZPL only through zplMaker().
struct LabelMaker {
    DocumentKind kind = DocumentKind::Zpl;
    QString templateHash;  // SHA-256 of the template's file, as the ledger records it
    std::function<std::variant<QByteArray, QString>(const labels::LabelValues &)> make;
};

// The template's hash, or an empty text when it cannot be read.
QString templateHashOf(const QString &path);

// A ZPL template, read and checked in full, or why it is refused.
std::variant<LabelMaker, QString> zplMaker(const QString &path);

}  // namespace pairwick::printing
