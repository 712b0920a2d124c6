// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlDatabase;

// An earlier pairwick stored an attempt's step and error as words: Chinese from the station's
// window, English from the command line. The migration turns them into the codes of
// provision/attemptcodes.h, so that one failure is one record whoever wrote it.
namespace pairwick::ledger {

struct AttemptCodes {
    QString step;
    QString error;
    QString detail;
    bool operator==(const AttemptCodes &) const = default;
};

// The codes of a step and an error as they were stored. Words it cannot place become "other",
// with the words kept whole as the detail.
AttemptCodes codesOfStoredTexts(const QString &step, const QString &error);

// Inside the migration's transaction: every attempt's words become codes, a page at a time.
void convertStoredTexts(const QSqlDatabase &database);

}  // namespace pairwick::ledger
