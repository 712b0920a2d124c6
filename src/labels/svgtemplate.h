// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QSizeF>
#include <QString>
#include <variant>

#include "labels/labelvalues.h"

namespace pairwick::labels {

// A label drawn in any SVG editor, for printers that print pages: the station's fields in its
// texts and attributes; an element with id "qr" (a QR code) or "barcode" (Code 128) gives the
// box its code fills, and the code's text in its attribute data-value. The page is the SVG's own
// width and height, in mm.
class SvgTemplate {
public:
    // The template, or why it is none: not XML, no page size in mm, an unknown field, a code
    // element without a box or a text.
    static std::variant<SvgTemplate, QString> parse(const QString &text);

    QSizeF pageMm() const { return m_pageMm; }

    // The SVG to draw: every field filled, every code element replaced by its code; or why
    // not: a code zint cannot make of its text, or whose modules its box draws too small to
    // print and scan.
    std::variant<QByteArray, QString> fill(const LabelValues &values) const;

private:
    QDomDocument m_document;
    QSizeF m_pageMm;
};

}  // namespace pairwick::labels
