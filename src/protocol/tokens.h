// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <optional>

// The values the adapter may report, in the order they are tried. Matching is exact and
// case-sensitive: " 9600", "09600" and "n" are errors, not near misses.
namespace pairwick::protocol {

const QStringList &baudRateEntries();
const QStringList &parityEntries();  // what the parity list shows
const QStringList &parityLetters();  // what the adapter reports, position for position
const QStringList &stopBitEntries();

// The table position of the first equal token, or -1.
qsizetype findToken(const QStringList &table, const QString &value);

enum class Role { Slave, Master };
std::optional<Role> roleFromToken(const QString &token);

// "EN" -> true, "DI" -> false.
std::optional<bool> messagesEnabledFromToken(const QString &token);

}  // namespace pairwick::protocol
