// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <variant>

#include "app/earlyexit.h"
#include "i18n/language.h"

namespace pairwick::app {

// What the command line asks of the window.
struct Options {
    i18n::Language language = i18n::Language::Chinese;
    QString logFile;  // empty: no traffic log
};

// Needs no application object and no display, so that --help works anywhere.
std::variant<Options, EarlyExit> parseCommandLine(const QStringList &arguments);

}  // namespace pairwick::app
