// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationsetup.h"

#include "settings/profile.h"
#include "station/resultspool.h"
#include "station/valuesfile.h"

namespace pairwick::station {

namespace {

// The rules are only judged as a whole once each of their sources could be read.
void checkRules(const StationSetup &setup, BatchRules &rules, QList<SetupProblem> &problems) {
    QString error;
    bool readable = true;
    if (!setup.profileFile.isEmpty()) {
        const std::optional<settings::AdapterSettings> loaded =
            settings::loadProfile(setup.profileFile, &error, settings::ValueCheck::Later);
        if (loaded)
            rules.templates = *loaded;
        else
            problems.append({SetupField::Profile, error});
        readable = readable && loaded.has_value();
    }
    for (const QString &assignment : setup.fields) {
        if (!settings::applySetting(assignment, rules.templates, &error,
                                    settings::ValueCheck::Later)) {
            problems.append({SetupField::Fields, error});
            readable = false;
            break;
        }
    }
    if (!setup.valuesFile.isEmpty()) {
        rules.values = loadValuesFile(setup.valuesFile, &error);
        if (!rules.values)
            problems.append({SetupField::Values, error});
        readable = readable && rules.values.has_value();
    }
    if (!readable)
        return;
    const QString problem = rulesProblem(rules);
    if (!problem.isEmpty()) {
        // A template's fault shows at the first number it would form; where the values file
        // gives every value, the fault is the file's.
        const bool fromValues = setup.fields.isEmpty() && setup.profileFile.isEmpty();
        problems.append({fromValues ? SetupField::Values : SetupField::Fields, problem});
    }
}

void checkNumbers(const StationSetup &setup, CheckedSetup &checked, QList<SetupProblem> &problems) {
    bool valid = false;
    checked.firstGiven = !setup.first.trimmed().isEmpty();
    if (checked.firstGiven) {
        checked.config.rules.first = setup.first.trimmed().toLongLong(&valid);
        if (!valid || checked.config.rules.first < 0)
            problems.append(
                {SetupField::First,
                 QStringLiteral("--first takes a number from 0 up, not %1").arg(setup.first)});
    }
    if (!setup.count.trimmed().isEmpty()) {
        checked.config.count = setup.count.trimmed().toLongLong(&valid);
        if (!valid || checked.config.count < 1)
            problems.append(
                {SetupField::Count,
                 QStringLiteral("--count takes a number from 1 up, not %1").arg(setup.count)});
    }
}

}  // namespace

std::variant<CheckedSetup, QList<SetupProblem>> checkSetup(const StationSetup &setup) {
    QList<SetupProblem> problems;
    CheckedSetup checked;
    StationConfig &config = checked.config;

    config.slotNames = setup.slotNames;
    if (config.slotNames.isEmpty())
        problems.append({SetupField::Slots, QStringLiteral("station needs at least one SLOT")});
    else if (config.slotNames.removeDuplicates() > 0)
        problems.append({SetupField::Slots, QStringLiteral("a SLOT is named twice")});
    config.batch = setup.batch.trimmed();
    if (config.batch.isEmpty())
        problems.append({SetupField::Batch, QStringLiteral("station needs --batch NAME")});
    checkRules(setup, config.rules, problems);
    checkNumbers(setup, checked, problems);

    QString error;
    const std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(setup.ledgerUrl), &error);
    if (location)
        config.ledger = *location;
    else
        problems.append({SetupField::Ledger, error});
    config.station = setup.station.trimmed();
    if (config.station.isEmpty())
        problems.append({SetupField::Station, QStringLiteral("--station needs a name")});
    // What the server's list of sessions shows for this station's connections.
    config.ledger.fallbackApplicationName = QStringLiteral("pairwick-") + config.station;
    if (const std::optional<int> timeoutMs = provision::parseTimeout(setup.timeoutMs))
        config.pace.timeoutMs = *timeoutMs;
    else
        problems.append(
            {SetupField::Timeout, QStringLiteral("--timeout takes 1 to %1 milliseconds, not %2")
                                      .arg(provision::TimeoutLimitMs)
                                      .arg(setup.timeoutMs)});
    config.onPass = setup.onPass;
    config.again = setup.again;
    if (!problems.isEmpty())
        return problems;
    config.spoolFile = spoolPathFor(config.station);
    return checked;
}

}  // namespace pairwick::station
