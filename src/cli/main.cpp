// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "cli/clirequest.h"
#include "cli/ledgercommand.h"
#include "cli/portsurvey.h"
#include "cli/progressview.h"
#include "cli/resultformat.h"
#include "cli/stationcommand.h"
#include "cli/stopsignals.h"
#include "i18n/translation.h"
#include "link/trafficlog.h"
#include "provision/parallelrun.h"

using namespace pairwick;

namespace {

void print(std::FILE *stream, const QByteArray &text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
    std::fflush(stream);
}

int listPorts(const cli::CliRequest &request) {
    const QList<cli::PortFacts> ports = cli::surveyPorts();
    print(stdout, request.json ? cli::portsJson(ports) : cli::portsTable(ports).toUtf8());
    return cli::ExitStatus::Success;
}

int runPorts(const cli::CliRequest &request) {
    link::TrafficLog log;
    QString error;
    if (!request.logFile.isEmpty() && !log.open(request.logFile, &error)) {
        print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(error).toUtf8());
        return cli::ExitStatus::Usage;
    }
    QList<provision::PortJob> jobs;
    for (const QString &port : request.ports)
        jobs.append({port, cli::operationOf(request.command), request.desired, request.pace});

    cli::ProgressView progress(request.ports, request.quiet);
    provision::ParallelRun run(jobs, request.logFile.isEmpty() ? nullptr : &log);
    cli::StopSignals stopSignals;
    QObject::connect(&stopSignals, &cli::StopSignals::stopRequested, &run,
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
            result.ok
                ? QStringLiteral("done")
                : QStringLiteral("FAILED: %1").arg(cli::failureText(result).replace(u'\n', u' ')),
            result.ok);
    });
    QObject::connect(&run, &provision::ParallelRun::finished, &run, &QCoreApplication::quit);
    run.start();
    QCoreApplication::exec();

    const QString logError = log.writeError();
    if (!logError.isEmpty())
        print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(logError).toUtf8());
    print(stdout, request.json ? cli::resultsJson(run.results())
                               : cli::resultsTable(run.results()).toUtf8());
    if (run.stopRequested())
        return cli::ExitStatus::Interrupted;
    const int status = cli::resultsStatus(run.results());
    // The ports did their work, but the record the caller asked for is not whole.
    return status == cli::ExitStatus::Success && !logError.isEmpty() ? cli::ExitStatus::PortFailed
                                                                     : status;
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

    if (arguments.value(1) == u"station")
        return cli::runStationCommand(arguments);
    if (arguments.value(1) == u"ledger")
        return cli::runLedgerCommand(arguments);
    const auto parsed = cli::parseCommandLine(arguments);
    if (const auto *early = std::get_if<cli::EarlyExit>(&parsed)) {
        print(early->status == cli::ExitStatus::Success ? stdout : stderr, early->text.toUtf8());
        return early->status;
    }
    const cli::CliRequest &request = std::get<cli::CliRequest>(parsed);
    if (request.command == cli::CliRequest::Command::Ports)
        return listPorts(request);
    return runPorts(request);
}
