// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::adaptersim {

// The adapter's end of the line. The simulator keeps the device side open itself, so the
// tool may open and close it as often as it likes without the master seeing a hangup.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool open(QString *error);

    int masterFd() const { return m_master; }
    const QString &devicePath() const { return m_devicePath; }

private:
    void close();
    bool fail(const char *step, QString *error);

    int m_master = -1;
    int m_device = -1;
    QString m_devicePath;
};

}  // namespace pairwick::adaptersim
