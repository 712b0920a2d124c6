// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace pairwick::adaptersim {

// Serials go round the ports: with P ports, the k-th unit (from 0) of the port at index i has
// serial first + k*P + i, so no two units of one process share a serial, and processes given
// first-unit values far enough apart share none either.
qint64 unitSerial(qint64 firstUnit, int ports, int portIndex, qint64 unitsBefore);

// A locally administered address (first byte 0A) whose last eight digits are the serial's
// last eight decimal digits, so a test can tell the unit from the address at a glance:
// serial 1234 is 0A51:00:001234.
QByteArray unitAddress(qint64 serial);

// An address holds a serial's last eight digits: --first-unit stays below this, and addresses
// repeat only after this many units.
inline constexpr qint64 unitSerialLimit = 100000000;

}  // namespace pairwick::adaptersim
