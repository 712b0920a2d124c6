// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <variant>

#include "i18n/language.h"

namespace pairwick::app {

// What the command line asks of the window.
struct Options {
    i18n::Language language = i18n::Language::Chinese;
    QString logFile;  // empty: no traffic log
};

// The command line ends the program before any window: help, version, or a usage error.
struct EarlyExit {
    int status = 0;
    // For standard output when the status is 0, for standard error otherwise.
    QString text;
};

// The program's arguments decoded as the application object would, for use before it exists.
QStringList argumentsOf(int argc, char *argv[]);

// Needs no application object and no display, so that --help works anywhere.
std::variant<Options, EarlyExit> parseCommandLine(const QStringList &arguments);

// Writes the text where it belongs and returns the exit status.
int finish(const EarlyExit &exit);

}  // namespace pairwick::app
