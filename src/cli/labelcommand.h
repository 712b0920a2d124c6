// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::cli {

// pairwick-cli label preview: a template filled with a unit's values or made-up ones, written as
// it would print. Returns the exit status. It runs in pairwick-label, which needs a
// QGuiApplication for the fonts of a drawing.
int runLabelCommand(const QStringList &arguments);

}  // namespace pairwick::cli
