// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/migrationprinter.h"

#include <memory>

namespace pairwick::station {

namespace {

constexpr double EverySeconds = 2;

}  // namespace

ledger::MigrationWatch migrationPrinter(const QString &program, std::FILE *stream,
                                        ledger::MigrationWatch then) {
    using Stage = ledger::MigrationProgress::Stage;
    auto printedAt = std::make_shared<double>(-EverySeconds);
    return [program, stream, then = std::move(then),
            printedAt](const ledger::MigrationProgress &progress) {
        const bool routine = progress.stage == Stage::Working || progress.stage == Stage::Waiting;
        if (!routine || progress.seconds - *printedAt >= EverySeconds) {
            *printedAt = progress.seconds;
            const QByteArray line =
                QStringLiteral("%1: %2\n").arg(program, ledger::migrationText(progress)).toUtf8();
            std::fwrite(line.constData(), 1, std::size_t(line.size()), stream);
            std::fflush(stream);
        }
        if (then)
            then(progress);
    };
}

}  // namespace pairwick::station
