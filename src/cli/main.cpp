// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>

#include "cli/clirequest.h"
#include "cli/labelprogram.h"
#include "cli/ledgercommand.h"
#include "cli/paircommand.h"
#include "cli/portrun.h"
#include "cli/portsurvey.h"
#include "cli/progressview.h"
#include "cli/resultformat.h"
#include "cli/stationcommand.h"
#include "cli/stopsignals.h"
#include "i18n/translation.h"
#include "link/trafficlog.h"

using namespace pairwick;

namespace {

int listPorts(const cli::CliRequest &request) {
    const QList<cli::PortFacts> ports = cli::surveyPorts();
    cli::print(stdout, request.json ? cli::portsJson(ports) : cli::portsTable(ports).toUtf8());
    return cli::ExitStatus::Success;
}

int runPorts(const cli::CliRequest &request) {
    link::TrafficLog log;
    if (!cli::openWireLog(request.logFile, log))
        return cli::ExitStatus::Usage;
    QList<provision::PortJob> jobs;
    for (const QString &port : request.ports)
        jobs.append({port, cli::operationOf(request.command), request.desired, request.pace});

    cli::ProgressView progress(request.ports, request.quiet);
    cli::StopSignals stopSignals;
    const cli::RunOutcome outcome = cli::runJobs(jobs, request.logFile.isEmpty() ? nullptr : &log,
                                                 progress, stopSignals, QStringLiteral("done"));
    cli::print(stdout, request.json ? cli::resultsJson(outcome.results)
                                    : cli::resultsTable(outcome.results).toUtf8());
    return cli::statusWithLog(
        outcome.stopped ? cli::ExitStatus::Interrupted : cli::resultsStatus(outcome.results), log);
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pairwick-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PAIRWICK_VERSION));
    // The explanations shared with the window (a port that will not open, a device gone) are
    // written in Chinese; a command line for scripts speaks English.
    const auto translation = i18n::installTranslation(i18n::Language::English);
    const QStringList arguments = QCoreApplication::arguments();

    const auto parsed = cli::parseCommandLine(arguments);
    if (const auto *early = std::get_if<cli::EarlyExit>(&parsed)) {
        cli::print(early->status == cli::ExitStatus::Success ? stdout : stderr,
                   early->text.toUtf8());
        return early->status;
    }
    const cli::CliRequest &request = std::get<cli::CliRequest>(parsed);
    switch (request.command) {
        case cli::CliRequest::Command::Ports:
            return listPorts(request);
        case cli::CliRequest::Command::Read:
        case cli::CliRequest::Command::Write:
        case cli::CliRequest::Command::Reset:
            return runPorts(request);
        case cli::CliRequest::Command::Pair:
            return cli::runPairCommand(request);
        case cli::CliRequest::Command::Station:
            return cli::runStationCommand(arguments);
        case cli::CliRequest::Command::Ledger:
            return cli::runLedgerCommand(arguments);
        case cli::CliRequest::Command::Label:
            return cli::handOverToLabelProgram(argv);
    }
    return cli::ExitStatus::Usage;
}
