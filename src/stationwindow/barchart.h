// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace pairwick::stationwindow {

// Horizontal bars, one a row: a label, a bar as long as its share of the longest, and its figure
// as text. The figures are a table's beside it too: a chart alone is not read out.
class BarChart final : public QWidget {
    Q_OBJECT

public:
    struct Bar {
        QString label;
        double value = 0;
        QString figure;  // the value as it is written beside the bar
    };

    explicit BarChart(QWidget *parent = nullptr);

    // full: the value a whole bar stands for (0: the largest value given).
    void setBars(const QList<Bar> &bars, double full = 0);
    // Said where there is nothing to draw.
    void setEmptyText(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Bar> m_bars;
    double m_full = 0;
    QString m_emptyText;
};

}  // namespace pairwick::stationwindow
