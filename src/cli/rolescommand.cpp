// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/rolescommand.h"

#include <cstdio>

#include "cli/clirequest.h"
#include "cli/portrun.h"
#include "ledger/ledger.h"
#include "ledger/ledgerroles.h"
#include "station/migrationprinter.h"

namespace pairwick::cli {

int runLedgerRoles(const ledger::LedgerLocation &location, bool apply) {
    if (!apply) {
        print(stdout,
              (ledger::rolesStatements().join(QStringLiteral(";\n\n")) + QStringLiteral(";\n"))
                  .toUtf8());
        return ExitStatus::Success;
    }
    try {
        // Opened by its owner, an older schema is brought up to date first, so that every
        // function the grants name exists.
        ledger::Ledger opened(location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly,
                              station::migrationPrinter(QStringLiteral("pairwick-cli")));
        opened.applyRoles();
    } catch (const ledger::LedgerError &failure) {
        print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(failure.message()).toUtf8());
        return ExitStatus::LedgerNotOpened;
    }
    print(stdout, QStringLiteral("%1 and %2 hold their rights on the ledger at %3\n")
                      .arg(QLatin1String(ledger::StationRole), QLatin1String(ledger::AuditorRole),
                           location.url())
                      .toUtf8());
    return ExitStatus::Success;
}

}  // namespace pairwick::cli
