// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/barchart.h"

#include <QPainter>
#include <algorithm>

namespace pairwick::stationwindow {

namespace {

constexpr int Gap = 6;
constexpr int MostRowsDrawn = 12;

}  // namespace

BarChart::BarChart(QWidget *parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void BarChart::setBars(const QList<Bar> &bars, double full) {
    m_bars = bars.mid(0, MostRowsDrawn);
    m_full = full;
    if (m_full <= 0)
        for (const Bar &bar : m_bars)
            m_full = std::max(m_full, bar.value);
    updateGeometry();
    update();
}

void BarChart::setEmptyText(const QString &text) {
    m_emptyText = text;
    update();
}

QSize BarChart::sizeHint() const {
    const int rows = std::max<qsizetype>(m_bars.size(), 3);
    return {320, int(rows) * (fontMetrics().height() + Gap) + Gap};
}

QSize BarChart::minimumSizeHint() const {
    return {160, 3 * (fontMetrics().height() + Gap) + Gap};
}

void BarChart::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    if (m_bars.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, m_emptyText);
        return;
    }
    int labelWidth = 0;
    int figureWidth = 0;
    for (const Bar &bar : m_bars) {
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(bar.label));
        figureWidth = std::max(figureWidth, metrics.horizontalAdvance(bar.figure));
    }
    labelWidth = std::min(labelWidth, width() / 3);
    const int barLeft = labelWidth + 2 * Gap;
    const int barSpace = std::max(0, width() - barLeft - figureWidth - 2 * Gap);
    const int rowHeight = metrics.height() + Gap;
    int top = Gap;
    for (const Bar &bar : m_bars) {
        const QRect labelBox(0, top, labelWidth + Gap, metrics.height());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(labelBox, Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(bar.label, Qt::ElideMiddle, labelWidth));
        const int length =
            m_full > 0 ? int(barSpace * std::clamp(bar.value / m_full, 0.0, 1.0)) : 0;
        painter.fillRect(QRect(barLeft, top + 1, length, metrics.height() - 2),
                         palette().color(QPalette::Highlight));
        painter.drawText(QRect(barLeft + length + Gap, top, figureWidth + Gap, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, bar.figure);
        top += rowHeight;
    }
}

}  // namespace pairwick::stationwindow
