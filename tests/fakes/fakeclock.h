// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"

namespace pairwick::fakes {

class FakeClock : public link::Clock {
public:
    qint64 nowSeconds() const override { return m_now; }
    void advance(qint64 seconds) { m_now += seconds; }

private:
    qint64 m_now = 1'700'000'000;
};

}  // namespace pairwick::fakes
