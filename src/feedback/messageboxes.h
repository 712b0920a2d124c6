// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::feedback {

// The three message-box styles every operation uses. All are modal and titled with the
// application's title; the first button is the default.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Exclamation icon, OK.
    virtual void warning(const QString &text) = 0;
    // No icon, OK and Cancel; true only for OK.
    virtual bool confirm(const QString &text) = 0;
    // No icon, Yes and No; true only for Yes.
    virtual bool askContinue(const QString &text) = 0;
};

}  // namespace pairwick::feedback
