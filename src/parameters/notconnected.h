// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"

namespace pairwick::parameters {

// Query, Save and Default refuse to start while the port is closed.
inline void warnNotConnected(feedback::Feedback &feedback) {
    feedback.boxes().warning(
        QCoreApplication::translate("pairwick::parameters", "请先点击“连接”按钮！"));
}

}  // namespace pairwick::parameters
