// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>

namespace pairwick::link {

// Every fault of the port: opening, writing, reading, or the device going away. It carries the
// platform's own description, which is what the user is shown, and the device it concerns.
class PortError : public std::exception {
public:
    PortError(QString description, QString devicePath)
        : m_description(std::move(description)), m_devicePath(std::move(devicePath)) {}

    const QString &description() const { return m_description; }
    const QString &devicePath() const { return m_devicePath; }
    // What a warning box shows: the description, then the device it concerns.
    QString message() const;
    const char *what() const noexcept override { return "serial port fault"; }

private:
    QString m_description;
    QString m_devicePath;
};

inline QString PortError::message() const {
    if (m_devicePath.isEmpty())
        return m_description;
    return QStringLiteral("%1\n%2").arg(m_description, m_devicePath);
}

// Thrown out of a wait when the user ends the run (Exit, a disconnect, the window closing):
// nothing more may be sent, and no message is shown for it.
class RunCancelled : public std::exception {
public:
    const char *what() const noexcept override { return "run cancelled"; }
};

}  // namespace pairwick::link
