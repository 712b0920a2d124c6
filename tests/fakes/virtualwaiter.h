// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "link/waiter.h"

namespace pairwick::fakes {

// A second of virtual time: it processes pending events once and can act in the middle of a
// chosen wait (a click, the device leaving), so a full read runs in milliseconds while every
// wait is still counted.
class VirtualWaiter : public link::Waiter {
public:
    // Called during wait number n (counted from 1 over the waiter's life).
    using Action = std::function<void(int waitNumber)>;

    bool waitOneSecond() override;
    void interrupt() override { m_interrupted = true; }

    void onWait(Action action) { m_action = std::move(action); }
    int waits() const { return m_waits; }

private:
    Action m_action;
    int m_waits = 0;
    bool m_interrupted = false;
};

}  // namespace pairwick::fakes
