// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace pairwick::app {

// The command line ends the program before any window: help, version, or a usage error.
struct EarlyExit {
    int status = 0;
    // For standard output when the status is 0, for standard error otherwise.
    QString text;
};

// The program's arguments decoded as the application object would, for use before it exists.
QStringList argumentsOf(int argc, char *argv[]);

// Writes the text where it belongs and returns the exit status.
int finish(const EarlyExit &exit);

}  // namespace pairwick::app
