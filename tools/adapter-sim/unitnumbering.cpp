// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitnumbering.h"

namespace pairwick::adaptersim {

qint64 unitSerial(qint64 firstUnit, int ports, int portIndex, qint64 unitsBefore) {
    return firstUnit + unitsBefore * ports + portIndex;
}

QByteArray unitAddress(qint64 serial) {
    const QByteArray digits = QByteArray::number(serial % unitSerialLimit).rightJustified(8, '0');
    return "0A51:" + digits.first(2) + ':' + digits.sliced(2);
}

}  // namespace pairwick::adaptersim
