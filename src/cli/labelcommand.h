// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <memory>

namespace pairwick::cli {

// Drawing a label needs fonts, which only a QGuiApplication has, on the offscreen platform since
// a preview shows no window; every other command keeps to a QCoreApplication, which needs no
// display at all.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv);

// pairwick-cli label preview: a template filled with a unit's values or made-up ones, written as
// it would print. Returns the exit status.
int runLabelCommand(const QStringList &arguments);

}  // namespace pairwick::cli
