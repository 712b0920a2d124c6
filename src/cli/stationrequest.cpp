// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationrequest.h"

#include <QCommandLineParser>

#include "station/stationoptions.h"

namespace pairwick::cli {

namespace {

const QString ExitText = QStringLiteral(
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
    const station::StationOptions stationOptions;
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("One JSON object per line for every finished "
                                                 "unit and slot change (also when standard output "
                                                 "is no terminal)."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No live view on standard error."));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Append every line sent and received to FILE."),
                                 QStringLiteral("FILE"));
    parser.addOption(help);
    stationOptions.addTo(parser);
    parser.addOptions({json, quiet, log});

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] station"), QStringLiteral("station [options]"));
        return EarlyExit{text + u'\n' + station::StationOptions::explanation() + u'\n' + ExitText,
                         ExitStatus::Success};
    }

    const auto checked =
        station::checkSetup(stationOptions.read(parser, parser.positionalArguments().mid(1)));
    if (const auto *problems = std::get_if<QList<station::SetupProblem>>(&checked)) {
        // A ledger that cannot be named is told only once the rest is right.
        for (const station::SetupProblem &problem : *problems) {
            if (problem.field != station::SetupField::Ledger)
                return usageError(problem.message);
        }
        return EarlyExit{QStringLiteral("pairwick-cli: %1\n").arg(problems->first().message),
                         ExitStatus::LedgerNotOpened};
    }
    const auto &setup = std::get<station::CheckedSetup>(checked);
    StationRequest request;
    request.config = setup.config;
    request.firstGiven = setup.firstGiven;
    request.logFile = parser.value(log);
    request.json = parser.isSet(json);
    request.quiet = parser.isSet(quiet);
    return request;
}

}  // namespace pairwick::cli
