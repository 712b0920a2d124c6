// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/svgdrawing.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgRenderer>

namespace pairwick::labels {

namespace {

// A page's resolution: the codes' edges stay sharp at any printer's.
constexpr int PdfDotsPerInch = 1200;
// About 300 dpi, as an office printer prints; a large page gets fewer, so that its image stays
// within a few tens of MB.
constexpr qreal ImageDotsPerMm = 12;
constexpr qreal ImageSideLimit = 6000;

QString unwritten(const QSaveFile &file) {
    return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
}

void drawPdf(const QByteArray &svg, QSizeF pageMm, QIODevice *out) {
    QPdfWriter writer(out);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setResolution(PdfDotsPerInch);
    writer.setPageSize(QPageSize(pageMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    QSvgRenderer(svg).render(&painter, QRectF(0, 0, writer.width(), writer.height()));
}

}  // namespace

QString writePdf(const QByteArray &svg, QSizeF pageMm, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return unwritten(file);
    drawPdf(svg, pageMm, &file);
    return file.commit() ? QString() : unwritten(file);
}

QByteArray pdfOf(const QByteArray &svg, QSizeF pageMm) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    drawPdf(svg, pageMm, &buffer);
    return buffer.data();
}

QString writePng(const QByteArray &svg, QSizeF pageMm, const QString &path) {
    const qreal dotsPerMm =
        std::min(ImageDotsPerMm, ImageSideLimit / std::max(pageMm.width(), pageMm.height()));
    QImage image((pageMm * dotsPerMm).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(dotsPerMm * 1000));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QSvgRenderer(svg).render(&painter, QRectF(QPointF(0, 0), image.size()));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return unwritten(file);
    return QString();
}

}  // namespace pairwick::labels
