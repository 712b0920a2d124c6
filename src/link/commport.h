// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "link/linecodec.h"
#include "link/serialport.h"
#include "link/trafficlog.h"

namespace pairwick::link {

// The adapter's port on Qt SerialPort, always at 9600 baud, 8 data bits, no parity, 1 stop bit,
// no flow control, DTR and RTS off, whatever UART settings were written to the adapter.
class CommPort : public SerialPort {
    Q_OBJECT

public:
    explicit CommPort(QObject *parent = nullptr);

    void open(int portNumber) override;
    // A device by its path, for callers that name ports as the system does.
    void openDevice(const QString &device);
    void close() override;
    bool isOpen() const override;
    void write(const QString &text) override;
    QString readAll() override;
    void discardInput() override;
    QString devicePath(int portNumber) const override;

    // Blocks until input arrives or the time is up, for callers without an event loop (a port
    // on a thread of its own). False when nothing came.
    bool waitForInput(int milliseconds);
    // Every write and read goes to the log, under the port's name ("COM3", or the device).
    void setTrafficLog(TrafficLog *log) { m_log = log; }

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    // Closes the port and reports it gone, once, however many errors the device raises.
    [[noreturn]] void failAndThrow(const QString &description);
    void fail(const QString &description);
    [[noreturn]] void throwNotOpen() const;
    void log(TrafficLog::Direction direction, QByteArrayView bytes);

    QSerialPort m_serial;
    LineCodec m_codec;
    QString m_device;
    QString m_name;
    TrafficLog *m_log = nullptr;
    QString m_lastFault;
    bool m_failing = false;
};

}  // namespace pairwick::link
