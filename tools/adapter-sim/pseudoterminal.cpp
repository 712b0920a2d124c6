// SPDX-License-Identifier: GPL-3.0-or-later
#include "pseudoterminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pairwick::adaptersim {

PseudoTerminal::~PseudoTerminal() {
    close();
}

bool PseudoTerminal::open(QString *error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        return fail("posix_openpt", error);
    }
    if (grantpt(m_master) != 0) {
        return fail("grantpt", error);
    }
    if (unlockpt(m_master) != 0) {
        return fail("unlockpt", error);
    }
    const char *path = ptsname(m_master);
    if (path == nullptr) {
        return fail("ptsname", error);
    }
    m_devicePath = QString::fromLocal8Bit(path);
    m_device = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_device < 0) {
        return fail("open of the device side", error);
    }
    termios settings{};
    if (tcgetattr(m_device, &settings) != 0) {
        return fail("tcgetattr", error);
    }
    cfmakeraw(&settings);
    if (tcsetattr(m_device, TCSANOW, &settings) != 0) {
        return fail("tcsetattr", error);
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("fcntl O_NONBLOCK", error);
    }
    return true;
}

void PseudoTerminal::close() {
    for (int *fd : {&m_device, &m_master}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

bool PseudoTerminal::fail(const char *step, QString *error) {
    *error = QStringLiteral("cannot set up a pseudo-terminal: %1 failed: %2")
                 .arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
    close();
    return false;
}

}  // namespace pairwick::adaptersim
