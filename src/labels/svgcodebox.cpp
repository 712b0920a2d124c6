// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/svgcodebox.h"

#include <QSvgRenderer>
#include <QTransform>
#include <cmath>

namespace pairwick::labels {

namespace {

QString number(qreal value) {
    return QString::number(value, 'g', 8);
}

}  // namespace

QDomElement codeInBox(QDomDocument &document, const QDomElement &element, const QRectF &box,
                      const CodeDrawing &code, bool keepSquare, qreal *moduleUser) {
    qreal scaleX = box.width() / code.size.width();
    qreal scaleY = box.height() / code.size.height();
    if (keepSquare)
        scaleX = scaleY = std::min(scaleX, scaleY);
    const QPointF origin(box.x() + (box.width() - code.size.width() * scaleX) / 2,
                         box.y() + (box.height() - code.size.height() * scaleY) / 2);
    *moduleUser = code.module * scaleX;

    QString path;
    for (const QRectF &bar : code.bars) {
        path +=
            QStringLiteral("M%1 %2h%3v%4h-%3z")
                .arg(number(origin.x() + bar.x() * scaleX), number(origin.y() + bar.y() * scaleY),
                     number(bar.width() * scaleX), number(bar.height() * scaleY));
    }
    QDomElement outer = document.createElement(QStringLiteral("g"));
    if (element.hasAttribute(QStringLiteral("transform")))
        outer.setAttribute(QStringLiteral("transform"),
                           element.attribute(QStringLiteral("transform")));
    QDomElement inner = document.createElement(QStringLiteral("g"));
    inner.setAttribute(QStringLiteral("id"), element.attribute(QStringLiteral("id")));
    QDomElement background = document.createElement(QStringLiteral("rect"));
    background.setAttribute(QStringLiteral("x"), number(origin.x()));
    background.setAttribute(QStringLiteral("y"), number(origin.y()));
    background.setAttribute(QStringLiteral("width"), number(code.size.width() * scaleX));
    background.setAttribute(QStringLiteral("height"), number(code.size.height() * scaleY));
    background.setAttribute(QStringLiteral("fill"), QStringLiteral("#ffffff"));
    QDomElement modules = document.createElement(QStringLiteral("path"));
    modules.setAttribute(QStringLiteral("d"), path);
    modules.setAttribute(QStringLiteral("fill"), QStringLiteral("#000000"));
    inner.appendChild(background);
    inner.appendChild(modules);
    outer.appendChild(inner);
    return outer;
}

qreal onPaperMm(const QSvgRenderer &renderer, const QString &id, QPointF length, QSizeF pageMm) {
    const QTransform transform = renderer.transformForElement(id);
    const QPointF drawn = transform.map(length) - transform.map(QPointF(0, 0));
    const QRectF viewBox = renderer.viewBoxF();
    return std::hypot(drawn.x() * pageMm.width() / viewBox.width(),
                      drawn.y() * pageMm.height() / viewBox.height());
}

}  // namespace pairwick::labels
