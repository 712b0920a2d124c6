// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

// A line of a running log, as the traffic log and the simulator's account of what it did both
// write them. Only Qt Core, so that the simulator can compile it in without the tool's library.
namespace pairwick::link {

// \r, \n, \t and \\ as such, other bytes outside printable ASCII as \xNN.
QByteArray escapedBytes(QByteArrayView bytes);

// The local time now in timeForm (a QDateTime format), a space, text and the line's end.
QByteArray stampedLine(QStringView timeForm, QByteArrayView text);

}  // namespace pairwick::link
