// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

#include "protocol/replycuts.h"
#include "settings/adaptersettings.h"

// The order of the read steps and of the set commands, with the labels the window shows and the
// progress it reports: one table each, for the window's operations and the command line alike.
namespace pairwick::settings {

enum class ReadKind { Text, Uart, Role, Messages };

struct ReadStep {
    QString query;
    const char *label;  // source text of the window's messages, translated where shown
    int bar;
    ReadKind kind;
    Key key;                // for Uart: the first of baud, parity and stop
    protocol::TextCut cut;  // for Text only
};

struct SetCommand {
    Key key;
    QString prefix;
    const char *label;
    int bar;
};

// Query order; the bound address, last, is read only from an adapter in the master role.
const std::array<ReadStep, 8> &readSteps();
// Set order; the bound address, last, is written only in the master role.
const std::array<SetCommand, 8> &setCommands();

// The translation context of the labels.
inline constexpr char LabelContext[] = "pairwick::settings";

}  // namespace pairwick::settings
