// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace pairwick::link {

// The moment to the second, for the link clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowSeconds() const = 0;
};

class SystemClock : public Clock {
public:
    qint64 nowSeconds() const override { return QDateTime::currentSecsSinceEpoch(); }
};

}  // namespace pairwick::link
