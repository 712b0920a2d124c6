// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomDocument>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "labels/codesymbol.h"

class QSvgRenderer;

namespace pairwick::labels {

// The code in an element's place: in the element's own transform, a white box with the dark
// modules on it, under the element's id, filling its box (a QR kept square). moduleUser is
// set to one module's width in the user's units there.
QDomElement codeInBox(QDomDocument &document, const QDomElement &element, const QRectF &box,
                      const CodeDrawing &code, bool keepSquare, qreal *moduleUser);

// How long a length of the user's units at the element is on paper, through every transform
// above it.
qreal onPaperMm(const QSvgRenderer &renderer, const QString &id, QPointF length, QSizeF pageMm);

}  // namespace pairwick::labels
