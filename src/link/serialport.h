// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace pairwick::link {

// What the tool uses of a serial port: open a numbered port at the fixed line settings, write a
// text, read everything received as text, ask whether it is open. Faults throw PortError. A
// fault while the port is open also means the device is gone: the port closes itself and
// reports deviceLost once, whether or not a call was running.
class SerialPort : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void open(int portNumber) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QString &text) = 0;
    // Everything received since the last read; empty when nothing came.
    virtual QString readAll() = 0;
    // Drops everything received, including what the system still buffers.
    virtual void discardInput() = 0;
    // The device the port number names, for messages and tooltips.
    virtual QString devicePath(int portNumber) const = 0;

signals:
    void deviceLost(const QString &message);
};

}  // namespace pairwick::link
