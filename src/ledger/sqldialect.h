// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::ledger {

// A statement as this database spells it: the schema's placeholders (%tenths(A, B), the search
// keys) filled in.
QString dialectOf(QString statement, bool sqlite);

}  // namespace pairwick::ledger
