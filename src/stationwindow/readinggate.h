// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

namespace pairwick::stationwindow {

// One reading of the ledger at a time for a page: refreshes asked for while one is under way run
// once more after it, however many were asked, so that a slow server never piles them up.
class ReadingGate {
public:
    // False, with one more reading owed, while a reading is under way.
    bool begin() {
        if (m_reading) {
            m_again = true;
            return false;
        }
        m_reading = true;
        return true;
    }
    // Whether a reading is owed now that this one ended.
    bool end() {
        m_reading = false;
        return std::exchange(m_again, false);
    }

private:
    bool m_reading = false;
    bool m_again = false;
};

}  // namespace pairwick::stationwindow
