// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtualwaiter.h"

#include <QCoreApplication>

namespace pairwick::fakes {

bool VirtualWaiter::waitOneSecond() {
    m_interrupted = false;
    ++m_waits;
    QCoreApplication::processEvents();
    if (m_action)
        m_action(m_waits);
    return !m_interrupted;
}

}  // namespace pairwick::fakes
