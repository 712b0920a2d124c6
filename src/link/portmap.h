// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::link {

// Which device "COMn" names. On Linux a symbolic link comN in the port-map folder wins; without
// one, COM1-4 are ttyS0-3, COM5-12 ttyUSB0-7 and COM13-16 ttyACM0-3.
QString portMapFolder();
QString devicePathForPort(int portNumber);

// "COM12" -> 12; the list text from its fourth character on. 0 when it holds no number.
int portNumberFromEntry(const QString &entry);

}  // namespace pairwick::link
