// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

namespace pairwick::labels {

// What a label may print of one unit, as the station knows it once the unit passed.
struct LabelValues {
    QString name;
    QString pin;
    QString address;  // as the adapter reports it
    qint64 seq = 0;
    QString batch;
    QString station;
    QString slot;
    QDate date;            // the day the label is printed, local
    QString operatorName;  // who ran the station, where it was told; else empty
};

// Made up, each as long as its value may be, for a designer to see whether everything fits.
LabelValues sampleValues();

}  // namespace pairwick::labels
