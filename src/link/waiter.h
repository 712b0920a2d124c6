// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pairwick::link {

// The one-second pause of every exchange, with window events processed throughout.
class Waiter {
public:
    virtual ~Waiter() = default;
    // False when the wait was cut short (interrupt(), or the application quitting).
    virtual bool waitOneSecond() = 0;
    virtual void interrupt() = 0;
};

}  // namespace pairwick::link
