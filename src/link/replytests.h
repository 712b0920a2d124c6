// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::link {

// True exactly when the reply's last four characters are O, K, CR, LF.
bool ReplyEndsWithOk(const QString &reply);

// True exactly when characters 5 and 6 are "OK": the adapter must repeat "AT" CR LF first.
bool ProbeReplyOk(const QString &reply);

}  // namespace pairwick::link
