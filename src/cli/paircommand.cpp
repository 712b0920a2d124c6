// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/paircommand.h"

#include "cli/clirequest.h"
#include "cli/pairplan.h"
#include "cli/pairreport.h"
#include "cli/portrun.h"
#include "cli/progressview.h"
#include "cli/resultformat.h"
#include "cli/stopsignals.h"
#include "link/trafficlog.h"

namespace pairwick::cli {

namespace {

using provision::Operation;
using provision::PortResult;

const QString NothingWritten = QStringLiteral("nothing was written");
const QString SeeRows = QStringLiteral(
    "each adapter's row says what it holds now ('-': not known, it may have "
    "changed)");

QString sideName(const PairOutcome &pair, const PortResult &result) {
    return QStringLiteral("%1 (%2)").arg(result.port, result.port == pair.master
                                                          ? QStringLiteral("master")
                                                          : QStringLiteral("slave"));
}

// "COM4 (slave) failed", for each side that did.
QString failedSides(const PairOutcome &pair, const std::vector<PortResult> &results,
                    const QString &verb) {
    QStringList sides;
    for (const PortResult &result : results) {
        if (!result.ok)
            sides.append(QStringLiteral("%1 %2").arg(sideName(pair, result), verb));
    }
    return sides.join(QStringLiteral(" and "));
}

}  // namespace

int runPairCommand(const CliRequest &request) {
    link::TrafficLog log;
    if (!openWireLog(request.logFile, log))
        return ExitStatus::Usage;
    link::TrafficLog *wireLog = request.logFile.isEmpty() ? nullptr : &log;
    PairOutcome pair;
    pair.master = request.ports[0];
    pair.slave = request.ports[1];
    const auto finish = [&](const std::vector<PortResult> &results, int status) {
        print(stdout, request.json ? pairJson(results, pair)
                                   : (resultsTable(results) + pairLine(pair)).toUtf8());
        return statusWithLog(status, log);
    };

    ProgressView progress(request.ports, request.quiet);
    StopSignals stopSignals;
    const RunOutcome reads = runJobs({{pair.master, Operation::Read, {}, request.pace},
                                      {pair.slave, Operation::Read, {}, request.pace}},
                                     wireLog, progress, stopSignals, QStringLiteral("read"));
    if (reads.stopped) {
        pair.problem = QStringLiteral("stopped; %1").arg(NothingWritten);
        return finish(reads.results, ExitStatus::Interrupted);
    }
    const int readStatus = resultsStatus(reads.results);
    if (readStatus != ExitStatus::Success) {
        pair.problem = QStringLiteral("%1; %2").arg(
            failedSides(pair, reads.results, QStringLiteral("could not be read")), NothingWritten);
        return finish(reads.results,
                      readStatus == ExitStatus::NotOpened ? readStatus : ExitStatus::Usage);
    }
    const auto planned = planPair(request, reads.results[0].settings, reads.results[1].settings);
    if (const auto *refusal = std::get_if<QString>(&planned)) {
        pair.problem = QStringLiteral("%1; %2").arg(*refusal, NothingWritten);
        return finish(reads.results, ExitStatus::Usage);
    }
    const PairPlan &plan = std::get<PairPlan>(planned);
    pair.address = plan.address;
    pair.pin = plan.pin;

    // Each write compares against what its adapter's read found, without reading it again.
    const RunOutcome writes = runJobs(
        {{pair.master, Operation::Write, plan.master, request.pace, reads.results[0].settings},
         {pair.slave, Operation::Write, plan.slave, request.pace, reads.results[1].settings}},
        wireLog, progress, stopSignals, QStringLiteral("done"));
    if (writes.stopped) {
        pair.problem = QStringLiteral("stopped while writing; %1").arg(SeeRows);
        return finish(writes.results, ExitStatus::Interrupted);
    }
    const int writeStatus = resultsStatus(writes.results);
    pair.paired = writeStatus == ExitStatus::Success;
    if (!pair.paired)
        pair.problem = QStringLiteral("%1; %2").arg(
            failedSides(pair, writes.results, QStringLiteral("failed")), SeeRows);
    return finish(writes.results, writeStatus);
}

}  // namespace pairwick::cli
