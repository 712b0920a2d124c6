// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationcommand.h"

#include <QCoreApplication>
#include <cstdio>

#include "cli/stationlabels.h"
#include "cli/stationrequest.h"
#include "cli/stationview.h"
#include "cli/stopsignals.h"
#include "link/trafficlog.h"
#include "service/journalstream.h"
#include "service/metricsendpoint.h"
#include "service/servicenotifier.h"
#include "service/stationmetrics.h"
#include "station/migrationprinter.h"
#include "station/stationrun.h"
#include "station/stationstart.h"

namespace pairwick::cli {

namespace {

void say(const QString &text, service::Priority priority) {
    const QByteArray bytes = service::priorityPrefix(stderr, priority) +
                             QStringLiteral("pairwick-cli: %1\n").arg(text).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

int runStation(StationRequest &request, station::ResultSpool &spool,
               service::StationMetrics &metrics) {
    link::TrafficLog log;
    QString error;
    if (!request.logFile.isEmpty() && !log.open(request.logFile, &error)) {
        say(error, service::Priority::Error);
        return ExitStatus::Usage;
    }
    const station::StationConfig &config = request.config;
    StationView view(config.slotNames, config.batch, config.station, config.operatorName,
                     request.quiet, request.json);
    station::StationRun run(config, spool, request.logFile.isEmpty() ? nullptr : &log);
    service::ServiceNotifier notifier;
    metrics.follow(run);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &run, [&] {
        notifier.stopping();
        run.stop();
    });
    QObject::connect(&run, &station::StationRun::slotChanged, &run,
                     [&](int index, const station::SlotEvent &event) {
                         view.slotChanged(index, event);
                         notifier.status(view.totalsLine());
                     });
    QObject::connect(&run, &station::StationRun::unitFinished, &run,
                     [&](int index, const station::UnitReport &report) {
                         view.unitFinished(index, report);
                         notifier.status(view.totalsLine());
                     });
    QObject::connect(&run, &station::StationRun::slotAlarm, &run,
                     [&](const station::SlotAlarmChange &change,
                         const station::UnitReport &report) { view.slotAlarm(change, report); });
    QObject::connect(&run, &station::StationRun::ledgerStatus, &run,
                     [&](const station::LedgerStatus &status) {
                         view.ledgerStatus(status);
                         notifier.status(view.totalsLine());
                     });
    QObject::connect(&run, &station::StationRun::finished, &run, &QCoreApplication::quit);
    std::unique_ptr<StationLabels> labels;
    if (request.labels) {
        labels = std::make_unique<StationLabels>(*request.labels, config.spoolFile, view);
        QString note;
        if (!labels->start(&error, &note)) {
            say(error, service::Priority::Error);
            return ExitStatus::Usage;
        }
        if (!note.isEmpty())
            say(note, service::Priority::Warning);
        labels->follow(run);
        QObject::connect(&stopSignals, &StopSignals::stopRequested, labels.get(),
                         &StationLabels::drained);
    }
    run.start();
    // The ledger was opened before the run; its slots are watched from here on.
    notifier.ready();
    QCoreApplication::exec();
    if (labels && !run.stopRequested())
        labels->drain();
    notifier.stopping();
    if (const QString waiting = labels ? labels->finish() : QString(); !waiting.isEmpty())
        say(waiting, service::Priority::Warning);

    if (spool.pendingCount() > 0)
        say(QStringLiteral("%1 results could not be stored yet; they wait in %2 and are stored "
                           "at this station's next start")
                .arg(spool.pendingCount())
                .arg(spool.path()),
            service::Priority::Warning);
    return run.stopRequested() ? ExitStatus::Interrupted : ExitStatus::Success;
}

}  // namespace

int runStationCommand(const QStringList &arguments) {
    auto parsed = parseStationCommand(arguments);
    if (const auto *early = std::get_if<EarlyExit>(&parsed)) {
        const QByteArray text = early->text.toUtf8();
        std::FILE *stream = early->status == ExitStatus::Success ? stdout : stderr;
        if (stream == stderr)
            std::fputs(service::priorityPrefix(stderr, service::Priority::Error).constData(),
                       stderr);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
        return early->status;
    }
    StationRequest &request = std::get<StationRequest>(parsed);
    // Listening before the ledger or any slot is touched: a port in use ends the station here.
    service::StationMetrics metrics(request.config, QCoreApplication::applicationVersion());
    service::MetricsEndpoint endpoint([&metrics] { return metrics.exposition(); });
    if (QString error; request.metrics && !endpoint.listen(*request.metrics, &error)) {
        say(error, service::Priority::Error);
        return ExitStatus::Usage;
    }
    station::StationStart start;
    if (const auto refusal =
            start.prepare(request.config, request.firstGiven,
                          station::migrationPrinter(QStringLiteral("pairwick-cli")))) {
        say(refusal->message, service::Priority::Error);
        return refusal->cause == station::StartRefusal::Cause::Ledger ? ExitStatus::LedgerNotOpened
                                                                      : ExitStatus::Usage;
    }
    return runStation(request, start.spool(), metrics);
}

}  // namespace pairwick::cli
