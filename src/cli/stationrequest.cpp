// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationrequest.h"

#include <QCommandLineParser>
#include <QSysInfo>

#include "settings/profile.h"

namespace pairwick::cli {

namespace {

const QString StationText = QStringLiteral(
    "Each SLOT is watched all day: when a unit answers AT it is read, looked up in the batch by "
    "its\n"
    "address, given its own values, written, verified and recorded in the ledger; then the slot\n"
    "waits until the unit is taken out. Name slots by their /dev/serial/by-path names.\n\n"
    "Fields in any value: {seq} the unit's number, {seq:4} zero-padded, {addr:N} the last N hex\n"
    "digits of its address, {random:N} N random digits, {{ and }} for braces.\n\n"
    "Ledger URLs: sqlite:PATH (default: $XDG_DATA_HOME/pairwick/ledger.sqlite, or\n"
    "$PAIRWICK_LEDGER), postgresql://[user@]host[:port]/database,\n"
    "postgresql:///database?host=/socket/folder. Passwords come from ~/.pgpass or $PGPASSFILE.\n\n"
    "Exit status:\n"
    "  0    the batch holds the --count passed units asked for\n"
    "  2    usage, profile, values or batch rules error; nothing was sent\n"
    "  4    the ledger cannot be opened; nothing was sent\n"
    "  130  stopped by Ctrl-C or SIGTERM; units in progress were recorded as interrupted\n");

}  // namespace

std::variant<StationRequest, EarlyExit> parseStationCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Provision unit after unit in every slot, each with values of its own, "
                       "recorded in a ledger that several stations share."));
    parser.addPositionalArgument(QStringLiteral("station"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("SLOT"),
                                 QStringLiteral("COMn, a device path or a by-path name."),
                                 QStringLiteral("SLOT..."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("The batch to create or join."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption profile(QStringLiteral("profile"),
                                     QStringLiteral("Values for every unit, from a JSON file."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption set(QStringLiteral("set"),
                                 QStringLiteral("A value for every unit, with fields; overrides "
                                                "the profile. May be given more than once."),
                                 QStringLiteral("KEY=VALUE"));
    const QCommandLineOption values(QStringLiteral("values"),
                                    QStringLiteral("Values of single units, from a CSV file with "
                                                   "a column seq or address; they win over --set."),
                                    QStringLiteral("FILE.csv"));
    const QCommandLineOption first(QStringLiteral("first"),
                                   QStringLiteral("The first number of a new batch (default 1)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("End once the batch holds N passed units, over "
                                                  "all stations."),
                                   QStringLiteral("N"));
    const QCommandLineOption ledgerUrl(QStringLiteral("ledger"),
                                       QStringLiteral("Where the records live (see below)."),
                                       QStringLiteral("URL"));
    const QCommandLineOption stationName(QStringLiteral("station"),
                                         QStringLiteral("This station's name in the records "
                                                        "(default: the host name)."),
                                         QStringLiteral("NAME"));
    const QCommandLineOption onPass(QStringLiteral("on-pass"),
                                    QStringLiteral("Run CMD through /bin/sh for every unit that "
                                                   "passed, with PAIRWICK_BATCH, PAIRWICK_SEQ, "
                                                   "PAIRWICK_NAME, PAIRWICK_PIN, PAIRWICK_ADDRESS, "
                                                   "PAIRWICK_SLOT, PAIRWICK_STATION set; 30 s at "
                                                   "most."),
                                    QStringLiteral("CMD"));
    const QCommandLineOption again(QStringLiteral("again"),
                                   QStringLiteral("Write a unit that already passed again, with "
                                                  "its recorded values."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("One JSON object per line for every finished "
                                                 "unit and slot change (also when standard output "
                                                 "is no terminal)."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No live view on standard error."));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Append every line sent and received to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("How long to wait for an incomplete reply (default 1000)."),
        QStringLiteral("MS"), QStringLiteral("1000"));
    parser.addOptions({help, batch, profile, set, values, first, count, ledgerUrl, stationName,
                       onPass, again, json, quiet, log, timeout});

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] station"), QStringLiteral("station [options]"));
        return EarlyExit{text + u'\n' + StationText, ExitStatus::Success};
    }

    StationRequest request;
    station::StationConfig &config = request.config;
    config.slotNames = parser.positionalArguments().mid(1);
    if (config.slotNames.isEmpty())
        return usageError(QStringLiteral("station needs at least one SLOT"));
    if (config.slotNames.removeDuplicates() > 0)
        return usageError(QStringLiteral("a SLOT is named twice"));
    config.batch = parser.value(batch).trimmed();
    if (config.batch.isEmpty())
        return usageError(QStringLiteral("station needs --batch NAME"));
    const std::optional<int> timeoutMs = parseTimeout(parser.value(timeout));
    if (!timeoutMs)
        return usageError(QStringLiteral("--timeout takes 1 to 60000 milliseconds, not %1")
                              .arg(parser.value(timeout)));
    config.pace.timeoutMs = *timeoutMs;
    bool valid = false;
    config.rules.first = parser.value(first).toLongLong(&valid);
    if (!valid || config.rules.first < 0)
        return usageError(
            QStringLiteral("--first takes a number from 0 up, not %1").arg(parser.value(first)));
    request.firstGiven = parser.isSet(first);
    if (parser.isSet(count)) {
        config.count = parser.value(count).toLongLong(&valid);
        if (!valid || config.count < 1)
            return usageError(QStringLiteral("--count takes a number from 1 up, not %1")
                                  .arg(parser.value(count)));
    }
    config.station = parser.isSet(stationName) ? parser.value(stationName).trimmed()
                                               : QSysInfo::machineHostName();
    if (config.station.isEmpty())
        return usageError(QStringLiteral("--station needs a name"));
    config.onPass = parser.value(onPass);
    config.again = parser.isSet(again);
    request.ledgerUrl = parser.value(ledgerUrl);
    request.logFile = parser.value(log);
    request.json = parser.isSet(json);
    request.quiet = parser.isSet(quiet);

    QString error;
    if (parser.isSet(profile)) {
        const std::optional<settings::AdapterSettings> loaded =
            settings::loadProfile(parser.value(profile), &error, settings::ValueCheck::Later);
        if (!loaded)
            return usageError(error);
        config.rules.templates = *loaded;
    }
    for (const QString &assignment : parser.values(set)) {
        if (!settings::applySetting(assignment, config.rules.templates, &error,
                                    settings::ValueCheck::Later))
            return usageError(error);
    }
    if (parser.isSet(values)) {
        config.rules.values = station::loadValuesFile(parser.value(values), &error);
        if (!config.rules.values)
            return usageError(error);
    }
    const QString problem = station::rulesProblem(config.rules);
    if (!problem.isEmpty())
        return usageError(problem);
    return request;
}

}  // namespace pairwick::cli
