// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/commport.h"

#include "link/openfailure.h"
#include "link/porterror.h"
#include "link/portmap.h"

namespace pairwick::link {

namespace {

// The receive side stays bounded even when a device sends without pause while the tool is idle:
// past this, Qt stops taking bytes in and the system's own buffer fills instead. A second of the
// line at 9600 baud is 960 bytes, so this holds everything an adapter can send between two reads
// of the window. More is noise, and every character of it that reaches a field is laid out and
// measured in a font, which costs far more memory than the bytes themselves.
constexpr qint64 ReceiveBufferBytes = 1024;

}  // namespace

CommPort::CommPort(QObject *parent) : SerialPort(parent) {
    setObjectName(QStringLiteral("MSComm1"));
    m_serial.setReadBufferSize(ReceiveBufferBytes);
    connect(&m_serial, &QSerialPort::errorOccurred, this, &CommPort::onErrorOccurred);
}

void CommPort::open(int portNumber) {
    openDevice(devicePathForPort(portNumber));
    m_name = QStringLiteral("COM%1").arg(portNumber);
}

void CommPort::openDevice(const QString &device) {
    if (m_serial.isOpen())
        close();
    m_device = device;
    m_name = device;
    m_lastFault.clear();
    m_codec.reset();
    m_serial.setPortName(m_device);
    m_serial.setBaudRate(QSerialPort::Baud9600);
    m_serial.setDataBits(QSerialPort::Data8);
    m_serial.setParity(QSerialPort::NoParity);
    m_serial.setStopBits(QSerialPort::OneStop);
    m_serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_serial.open(QIODevice::ReadWrite)) {
        const QString description = m_serial.errorString();
        throw PortError(description, m_device,
                        explainOpenFailure(gatherOpenFailureFacts(m_device, description)));
    }
    // A pseudo-terminal refuses the modem lines with "unsupported operation": harmless.
    m_serial.setDataTerminalReady(false);
    m_serial.setRequestToSend(false);
    m_serial.clearError();
}

void CommPort::close() {
    if (m_serial.isOpen())
        m_serial.close();
    m_codec.reset();
}

bool CommPort::isOpen() const {
    return m_serial.isOpen();
}

void CommPort::write(const QString &text) {
    if (!m_serial.isOpen())
        throwNotOpen();
    const QByteArray bytes = m_codec.encode(text);
    if (m_serial.write(bytes) != bytes.size())
        failAndThrow(m_serial.errorString());
    log(TrafficLog::Direction::Sent, bytes);
    // The line leaves now, not whenever the event loop next runs.
    m_serial.flush();
    if (!m_serial.isOpen())
        throwNotOpen();
}

QString CommPort::readAll() {
    if (!m_serial.isOpen())
        throwNotOpen();
    const QByteArray bytes = m_serial.readAll();
    log(TrafficLog::Direction::Received, bytes);
    return m_codec.decode(bytes);
}

void CommPort::discardInput() {
    if (!m_serial.isOpen())
        throwNotOpen();
    log(TrafficLog::Direction::Received, m_serial.readAll());
    m_serial.clear(QSerialPort::Input);
    m_codec.reset();
}

QString CommPort::devicePath(int portNumber) const {
    return devicePathForPort(portNumber);
}

bool CommPort::waitForInput(int milliseconds) {
    if (!m_serial.isOpen())
        throwNotOpen();
    return m_serial.waitForReadyRead(milliseconds);
}

void CommPort::log(TrafficLog::Direction direction, QByteArrayView bytes) {
    if (m_log)
        m_log->record(m_name, direction, bytes);
}

void CommPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::UnsupportedOperationError)
        return;
    // A blocking wait that ran out of time reports a timeout: nothing is wrong with the device.
    if (error == QSerialPort::TimeoutError) {
        m_serial.clearError();
        return;
    }
    // Open failures are reported by open() itself; any error while open means the device left.
    if (m_serial.isOpen())
        fail(m_serial.errorString());
}

void CommPort::fail(const QString &description) {
    if (m_failing)
        return;
    m_failing = true;
    m_lastFault = description;
    m_serial.close();
    m_serial.clearError();
    emit deviceLost(PortError::lost(description, m_device).message());
    m_failing = false;
}

void CommPort::failAndThrow(const QString &description) {
    fail(description);
    throw PortError::lost(description, m_device);
}

void CommPort::throwNotOpen() const {
    if (!m_lastFault.isEmpty())
        throw PortError::lost(m_lastFault, m_device);
    throw PortError(QCoreApplication::translate("pairwick::link::CommPort", "串口未打开"),
                    m_device);
}

}  // namespace pairwick::link
