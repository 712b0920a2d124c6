// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>
#include <QPointer>

#include "link/waiter.h"

namespace pairwick::link {

// Runs a nested event loop for the second instead of polling: QSerialPort only takes bytes in
// while an event loop runs, and a busy loop would burn a whole core for nothing.
class EventLoopWaiter : public Waiter {
public:
    bool waitOneSecond() override;
    void interrupt() override;

private:
    QPointer<QEventLoop> m_loop;
    bool m_interrupted = false;
};

}  // namespace pairwick::link
