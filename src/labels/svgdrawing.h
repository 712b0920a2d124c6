// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

// A filled SVG label on paper: a PDF page of the label's size to print, or an image of it to
// look at. Both need a QGuiApplication, for the fonts.
namespace pairwick::labels {

// Each writes the whole file or leaves none, and returns why not, or an empty text.
QString writePdf(const QByteArray &svg, QSizeF pageMm, const QString &path);
// The PDF itself, as a printer is sent it.
QByteArray pdfOf(const QByteArray &svg, QSizeF pageMm);
QString writePng(const QByteArray &svg, QSizeF pageMm, const QString &path);

}  // namespace pairwick::labels
