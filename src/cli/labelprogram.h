// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::cli {

// Where pairwick-label may be, in the order it is looked for.
QStringList labelProgramPaths();

// Hands `pairwick-cli label ...` over to pairwick-label, the program that draws labels: Qt Gui,
// Qt Svg and zint are loaded by that program alone, so every other command starts without
// them. Returns only when it cannot be run, with the status to exit with.
int handOverToLabelProgram(char *argv[]);

}  // namespace pairwick::cli
