// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/portrun.h"

#include <QCoreApplication>

#include "cli/clirequest.h"
#include "cli/progressview.h"
#include "cli/resultformat.h"
#include "cli/stopsignals.h"
#include "link/trafficlog.h"
#include "provision/parallelrun.h"

namespace pairwick::cli {

RunOutcome runJobs(const QList<provision::PortJob> &jobs, link::TrafficLog *log,
                   ProgressView &progress, StopSignals &stopSignals, const QString &okText) {
    provision::ParallelRun run(jobs, log);
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &run,
                     &provision::ParallelRun::stop);
    QObject::connect(&run, &provision::ParallelRun::progress, &run,
                     [&](int index, const provision::StepProgress &step) {
                         progress.show(index, step.step, step.done, step.total);
                     });
    // Each port tells its outcome as soon as it has one, not once the slowest is through.
    QObject::connect(&run, &provision::ParallelRun::portFinished, &run, [&](int index) {
        const provision::PortResult &result = run.results()[std::size_t(index)];
        progress.showOutcome(
            index,
            result.ok ? okText
                      : QStringLiteral("FAILED: %1").arg(failureText(result).replace(u'\n', u' ')),
            result.ok);
    });
    QObject::connect(&run, &provision::ParallelRun::finished, &run, &QCoreApplication::quit);
    run.start();
    QCoreApplication::exec();
    return {run.results(), run.stopRequested()};
}

bool openWireLog(const QString &file, link::TrafficLog &log) {
    QString error;
    if (file.isEmpty() || log.open(file, &error))
        return true;
    print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(error).toUtf8());
    return false;
}

int statusWithLog(int status, const link::TrafficLog &log) {
    const QString logError = log.writeError();
    if (logError.isEmpty())
        return status;
    print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(logError).toUtf8());
    return status == ExitStatus::Success ? ExitStatus::PortFailed : status;
}

}  // namespace pairwick::cli
