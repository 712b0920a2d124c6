// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/eventloopwaiter.h"

#include <QElapsedTimer>
#include <QTimer>

namespace pairwick::link {

namespace {

constexpr qint64 OneSecondMs = 1000;

}  // namespace

bool EventLoopWaiter::waitOneSecond() {
    m_interrupted = false;
    QElapsedTimer elapsed;
    elapsed.start();
    // Coarse timers may fire tens of milliseconds early; a precise one is on time, and the loop
    // below tops up whatever is still missing, so the wait never ends early.
    while (elapsed.elapsed() < OneSecondMs) {
        QEventLoop loop;
        m_loop = &loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(OneSecondMs - elapsed.elapsed()));
        const int result = loop.exec();
        m_loop = nullptr;
        // exit() from the application quitting ends nested loops with a non-zero code or at once.
        if (m_interrupted || result != 0)
            return false;
    }
    return true;
}

void EventLoopWaiter::interrupt() {
    m_interrupted = true;
    if (m_loop)
        m_loop->exit(1);
}

}  // namespace pairwick::link
