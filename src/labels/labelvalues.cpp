// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/labelvalues.h"

namespace pairwick::labels {

LabelValues sampleValues() {
    LabelValues values;
    // The adapter keeps a name of at most 20 and a PIN of at most 10 characters.
    values.name = QStringLiteral("Sample-Name-20-chars");
    values.pin = QStringLiteral("4096571238");
    // The form the adapter reports its address in, every digit used.
    values.address = QStringLiteral("0F1E:2D:3C4B5A");
    values.seq = 123456;
    values.batch = QStringLiteral("sample-batch-2026");
    values.station = QStringLiteral("sample-station");
    values.slot = QStringLiteral("COM16");
    values.date = QDate::currentDate();
    // An operator's name takes at most 64 characters.
    values.operatorName = QStringLiteral("Sample-Operator-%1").arg(QString(), 48, u'x');
    return values;
}

}  // namespace pairwick::labels
