// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <variant>

namespace pairwick::adaptersim {

// What the operator does to the unit in a slot.
enum class UnitAction { Next, Out, In, Mute, Unmute };

struct ControlCommand {
    UnitAction action = UnitAction::Next;
    // The n of COMn.
    int port = 0;
    // The line as received, for messages about it.
    QString text;
};

// One line of standard input, "ACTION COMn", or why it is not one.
std::variant<ControlCommand, QString> parseControlLine(QByteArrayView line);

}  // namespace pairwick::adaptersim
