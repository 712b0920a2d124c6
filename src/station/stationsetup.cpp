// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationsetup.h"

#include <QCoreApplication>
#include <algorithm>

#include "ledger/ledgerlisting.h"
#include "settings/profile.h"
#include "station/resultspool.h"
#include "station/slotalarm.h"
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

// A batch's or a station's name is printed on every totals line and stored in every record: it is
// short, and holds nothing a terminal would act on.
constexpr qsizetype NameLimit = 64;

void checkName(SetupField field, const QString &option, const QString &name,
               QList<SetupProblem> &problems) {
    const QList<uint> codes = name.toUcs4();
    if (codes.size() > NameLimit) {
        problems.append({field, QCoreApplication::translate("pairwick::station",
                                                            "%1 的名称最多 %2 个字符，而不是 %3 个")
                                    .arg(option)
                                    .arg(NameLimit)
                                    .arg(codes.size())});
        return;
    }
    if (std::any_of(codes.cbegin(), codes.cend(), [](uint code) {
            return QChar::category(char32_t(code)) == QChar::Other_Control;
        }))
        problems.append(
            {field, QCoreApplication::translate("pairwick::station", "%1 不能含控制字符：%2")
                        .arg(option, ledger::withControlsEscaped(name))});
}

// Beyond this a limit is no limit: a unit that fails a thousand times is not coming good.
constexpr qint64 MaxAttemptsLimit = 1000;

void checkNumbers(const StationSetup &setup, CheckedSetup &checked, QList<SetupProblem> &problems) {
    bool valid = false;
    checked.firstGiven = !setup.first.trimmed().isEmpty();
    if (checked.firstGiven) {
        checked.config.rules.first = setup.first.trimmed().toLongLong(&valid);
        if (!valid || checked.config.rules.first < 0)
            problems.append(
                {SetupField::First, QCoreApplication::translate(
                                        "pairwick::station", "--first 须为 0 或更大的数，而不是 %1")
                                        .arg(setup.first)});
    }
    if (!setup.maxAttempts.trimmed().isEmpty()) {
        checked.config.rules.maxAttempts = setup.maxAttempts.trimmed().toLongLong(&valid);
        if (!valid || checked.config.rules.maxAttempts < 1 ||
            checked.config.rules.maxAttempts > MaxAttemptsLimit)
            problems.append({SetupField::MaxAttempts,
                             QCoreApplication::translate("pairwick::station",
                                                         "--max-attempts 须为 1 到 %1，而不是 %2")
                                 .arg(MaxAttemptsLimit)
                                 .arg(setup.maxAttempts)});
    }
    if (!setup.count.trimmed().isEmpty()) {
        checked.config.count = setup.count.trimmed().toLongLong(&valid);
        if (!valid || checked.config.count < 1)
            problems.append(
                {SetupField::Count, QCoreApplication::translate(
                                        "pairwick::station", "--count 须为 1 或更大的数，而不是 %1")
                                        .arg(setup.count)});
    }
}

}  // namespace

std::variant<CheckedSetup, QList<SetupProblem>> checkSetup(const StationSetup &setup) {
    QList<SetupProblem> problems;
    CheckedSetup checked;
    StationConfig &config = checked.config;

    config.slotNames = setup.slotNames;
    if (config.slotNames.isEmpty())
        problems.append(
            {SetupField::Slots,
             QCoreApplication::translate("pairwick::station", "工位至少需要一个槽（SLOT）")});
    else if (config.slotNames.removeDuplicates() > 0)
        problems.append(
            {SetupField::Slots,
             QCoreApplication::translate("pairwick::station", "有一个槽（SLOT）出现了两次")});
    config.batch = setup.batch.trimmed();
    if (config.batch.isEmpty())
        problems.append(
            {SetupField::Batch,
             QCoreApplication::translate("pairwick::station", "工位需要批次名称（--batch NAME）")});
    else
        checkName(SetupField::Batch, QStringLiteral("--batch"), config.batch, problems);
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
        problems.append({SetupField::Station, QCoreApplication::translate(
                                                  "pairwick::station", "--station 需要一个名称")});
    else
        checkName(SetupField::Station, QStringLiteral("--station"), config.station, problems);
    // What the server's list of sessions shows for this station's connections.
    config.ledger.fallbackApplicationName = QStringLiteral("pairwick-") + config.station;
    if (const std::optional<int> timeoutMs = provision::parseTimeout(setup.timeoutMs))
        config.pace.timeoutMs = *timeoutMs;
    else
        problems.append(
            {SetupField::Timeout, QCoreApplication::translate(
                                      "pairwick::station", "--timeout 须为 1 到 %1 毫秒，而不是 %2")
                                      .arg(provision::TimeoutLimitMs)
                                      .arg(setup.timeoutMs)});
    config.operatorName = setup.operatorName.trimmed();
    if (!config.operatorName.isEmpty())
        checkName(SetupField::Operator, QStringLiteral("--operator"), config.operatorName,
                  problems);
    bool validAlarm = false;
    config.slotAlarm = setup.slotAlarm.trimmed().toInt(&validAlarm);
    if (!validAlarm || config.slotAlarm < 0 || config.slotAlarm > SlotAlarmLimit)
        problems.append({SetupField::SlotAlarm,
                         QCoreApplication::translate(
                             "pairwick::station", "--slot-alarm 须为 0（不报警）到 %1，而不是 %2")
                             .arg(SlotAlarmLimit)
                             .arg(setup.slotAlarm)});
    config.onPass = setup.onPass;
    config.again = setup.again;
    if (!problems.isEmpty())
        return problems;
    config.spoolFile = spoolPathFor(config.station);
    return checked;
}

}  // namespace pairwick::station
