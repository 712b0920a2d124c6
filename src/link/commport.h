// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "link/linecodec.h"
#include "link/serialport.h"

namespace pairwick::link {

// The adapter's port on Qt SerialPort, always at 9600 baud, 8 data bits, no parity, 1 stop bit,
// no flow control, DTR and RTS off, whatever UART settings were written to the adapter.
class CommPort : public SerialPort {
    Q_OBJECT

public:
    explicit CommPort(QObject *parent = nullptr);

    void open(int portNumber) override;
    void close() override;
    bool isOpen() const override;
    void write(const QString &text) override;
    QString readAll() override;
    void discardInput() override;
    QString devicePath(int portNumber) const override;

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    // Closes the port and reports it gone, once, however many errors the device raises.
    [[noreturn]] void failAndThrow(const QString &description);
    void fail(const QString &description);
    [[noreturn]] void throwNotOpen() const;

    QSerialPort m_serial;
    LineCodec m_codec;
    QString m_device;
    QString m_lastFault;
    bool m_failing = false;
};

}  // namespace pairwick::link
