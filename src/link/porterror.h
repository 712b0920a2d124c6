// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <exception>

namespace pairwick::link {

// Every fault of the port: opening, writing, reading, or the device going away. It carries the
// platform's own description, which is what the user is shown, and the device it concerns.
class PortError : public std::exception {
public:
    // The message is what a warning box shows; by default the description, then the device.
    PortError(QString description, QString devicePath, QString message = QString())
        : m_description(std::move(description)),
          m_devicePath(std::move(devicePath)),
          m_message(message.isEmpty() ? QStringLiteral("%1\n%2").arg(m_description, m_devicePath)
                                      : std::move(message)) {}

    // A device that went away while open (unplugged, powered off, no longer answering): said
    // plainly first, with the device, and the system's own words after.
    static PortError lost(const QString &description, const QString &devicePath) {
        return PortError(description, devicePath,
                         QCoreApplication::translate("pairwick::link::PortError",
                                                     "串口设备 %1 已断开或停止响应。")
                                 .arg(devicePath) +
                             u'\n' + description);
    }

    const QString &description() const { return m_description; }
    const QString &devicePath() const { return m_devicePath; }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "serial port fault"; }

private:
    QString m_description;
    QString m_devicePath;
    QString m_message;
};

// Thrown out of a wait when the user ends the run (Exit, a disconnect, the window closing):
// nothing more may be sent, and no message is shown for it.
class RunCancelled : public std::exception {
public:
    const char *what() const noexcept override { return "run cancelled"; }
};

}  // namespace pairwick::link
