// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adapterstate.h"

#include <QByteArray>

#include <string_view>
#include <variant>
#include <vector>

// The adapter's command set as this simulator plays it: what each query answers and which
// arguments each set command takes.
namespace pairwick::adaptersim {

// A value line is a run of fixed texts and stored values.
using Piece = std::variant<std::string_view, Field>;

struct QueryLayout {
    std::string_view command;
    std::vector<Piece> valueLine;
};

enum class Verdict { Accepted, Rejected };

const QueryLayout *findQuery(const QByteArray &line);
QByteArray formatValueLine(const QueryLayout &layout, const AdapterState &state);

// Carries out every command that is not a query; unknown lines are rejected.
Verdict applyCommand(const QByteArray &line, AdapterState &state);

}  // namespace pairwick::adaptersim
