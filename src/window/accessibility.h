// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pairwick::window {

// What the whole program needs for assistive technology; call once, after the application
// object exists and before the main window is built.
void installAccessibility();

}  // namespace pairwick::window
