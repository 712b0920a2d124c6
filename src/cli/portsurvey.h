// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace pairwick::cli {

struct PortFacts {
    QString port;
    QString device;
    bool exists = false;
    QString stableName;  // under /dev/serial/by-id, where the system gives one
    QString pathName;    // under /dev/serial/by-path: the socket it is plugged into
    bool opens = false;
    QString problem;  // why it would not open, as the window explains it
};

// COM1 to COM16 as the port map names them. Each existing device is opened and closed again at
// once, with nothing sent, to learn whether it can be used.
QList<PortFacts> surveyPorts();

QString portsTable(const QList<PortFacts> &ports);
QByteArray portsJson(const QList<PortFacts> &ports);

}  // namespace pairwick::cli
