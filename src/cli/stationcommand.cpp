// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationcommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

#include "cli/stationrequest.h"
#include "cli/stationview.h"
#include "cli/stopsignals.h"
#include "ledger/ledger.h"
#include "link/trafficlog.h"
#include "station/resultspool.h"
#include "station/stationrun.h"

namespace pairwick::cli {

namespace {

struct Refusal {
    QString message;
    int status;
};

void say(const QString &text) {
    const QByteArray bytes = QStringLiteral("pairwick-cli: %1\n").arg(text).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// The batch's rules, once this station has created or joined it: one batch, one set of rules.
std::optional<Refusal> joinBatch(ledger::Ledger &ledger, StationRequest &request) {
    station::StationConfig &config = request.config;
    station::BatchRules mine = config.rules;
    const std::optional<QJsonObject> existing = ledger.batchRules(config.batch);
    if (!existing && mine.givesNothing())
        return Refusal{QStringLiteral("batch %1 is new; give its rules with --profile, --set or "
                                      "--values")
                           .arg(config.batch),
                       ExitStatus::Usage};
    bool created = false;
    const QJsonObject stored = ledger.joinBatch(config.batch, mine.toJson(), mine.first, &created);
    if (created)
        return std::nullopt;
    QString error;
    const std::optional<station::BatchRules> theirs = station::BatchRules::fromJson(stored, &error);
    if (!theirs)
        return Refusal{QStringLiteral("batch %1: its stored rules cannot be read: %2")
                           .arg(config.batch, error),
                       ExitStatus::LedgerNotOpened};
    if (!request.firstGiven)
        mine.first = theirs->first;
    // A station without rules of its own takes the batch's; a first number it gives must match.
    if (mine.givesNothing()) {
        const qint64 first = mine.first;
        mine = *theirs;
        mine.first = first;
    }
    const QString difference = station::rulesDifference(mine, *theirs);
    if (!difference.isEmpty())
        return Refusal{QStringLiteral("batch %1 was started with other rules: %2")
                           .arg(config.batch, difference),
                       ExitStatus::Usage};
    config.rules = *theirs;
    return std::nullopt;
}

// Results a killed or cut-off run left behind are stored first, then its unfinished attempts are
// closed as interrupted, and the batch is joined; nothing is sent to any slot before this.
std::optional<Refusal> prepareLedger(StationRequest &request, station::ResultSpool &spool) {
    try {
        ledger::Ledger ledger(request.config.ledger, QStringLiteral("pairwick-start"));
        spool.flush(ledger);
        ledger.markInterrupted(request.config.station);
        return joinBatch(ledger, request);
    } catch (const ledger::LedgerError &error) {
        return Refusal{error.message(), ExitStatus::LedgerNotOpened};
    }
}

int runStation(StationRequest &request, station::ResultSpool &spool) {
    link::TrafficLog log;
    QString error;
    if (!request.logFile.isEmpty() && !log.open(request.logFile, &error)) {
        say(error);
        return ExitStatus::Usage;
    }
    const station::StationConfig &config = request.config;
    StationView view(config.slotNames, config.batch, config.station, request.quiet, request.json);
    station::StationRun run(config, spool, request.logFile.isEmpty() ? nullptr : &log);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &run, &station::StationRun::stop);
    QObject::connect(
        &run, &station::StationRun::slotChanged, &run,
        [&](int index, const station::SlotEvent &event) { view.slotChanged(index, event); });
    QObject::connect(
        &run, &station::StationRun::unitFinished, &run,
        [&](int index, const station::UnitReport &report) { view.unitFinished(index, report); });
    QObject::connect(&run, &station::StationRun::ledgerStatus, &run,
                     [&](const station::LedgerStatus &status) { view.ledgerStatus(status); });
    QObject::connect(&run, &station::StationRun::finished, &run, &QCoreApplication::quit);
    run.start();
    QCoreApplication::exec();

    if (spool.pendingCount() > 0)
        say(QStringLiteral("%1 results could not be stored yet; they wait in %2 and are stored "
                           "at this station's next start")
                .arg(spool.pendingCount())
                .arg(spool.path()));
    return run.stopRequested() ? ExitStatus::Interrupted : ExitStatus::Success;
}

}  // namespace

int runStationCommand(const QStringList &arguments) {
    auto parsed = parseStationCommand(arguments);
    if (const auto *early = std::get_if<EarlyExit>(&parsed)) {
        const QByteArray text = early->text.toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()),
                    early->status == ExitStatus::Success ? stdout : stderr);
        return early->status;
    }
    StationRequest &request = std::get<StationRequest>(parsed);
    station::StationConfig &config = request.config;

    QString error;
    const std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(request.ledgerUrl), &error);
    if (!location) {
        say(error);
        return ExitStatus::LedgerNotOpened;
    }
    config.ledger = *location;
    config.spoolFile = station::spoolPathFor(config.station);

    // One running station per name and machine: its spool and its unfinished attempts are its own.
    QLockFile running(config.spoolFile + QStringLiteral(".lock"));
    if (!QDir().mkpath(QFileInfo(config.spoolFile).absolutePath()) || !running.tryLock(0)) {
        say(QStringLiteral("another station named %1 is running on this machine (%2)")
                .arg(config.station, running.fileName()));
        return ExitStatus::Usage;
    }
    station::ResultSpool spool(config.spoolFile);
    if (!spool.load(&error)) {
        say(error);
        return ExitStatus::Usage;
    }
    if (const std::optional<Refusal> refusal = prepareLedger(request, spool)) {
        say(refusal->message);
        return refusal->status;
    }
    return runStation(request, spool);
}

}  // namespace pairwick::cli
