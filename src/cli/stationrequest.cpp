// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationrequest.h"

#include <QCommandLineParser>

#include "cli/drawnlabel.h"
#include "ledger/ledgerlisting.h"
#include "printing/printoptions.h"
#include "service/configfile.h"
#include "station/stationoptions.h"

namespace pairwick::cli {

namespace {

const QString ExitText = QStringLiteral(
    "Exit status:\n"
    "  0    the batch holds the --count passed units asked for\n"
    "  2    usage, profile, values or batch rules error, or the metrics address cannot be\n"
    "       listened on; nothing was sent\n"
    "  4    the ledger cannot be opened; nothing was sent\n"
    "  130  stopped by Ctrl-C or SIGTERM; units in progress were recorded as interrupted\n");

using service::ConfigFile;
using service::ConfigLine;

const QString SlotKey = QStringLiteral("slot");
const QString SetKey = QStringLiteral("set");
const QStringList FlagKeys{QStringLiteral("again"), QStringLiteral("json"),
                           QStringLiteral("quiet")};

const QString ConfigText = QStringLiteral(
    "Configuration file (--config): one KEY = VALUE a line, # for comments; the keys are the long\n"
    "options' names and slot, one slot a line; set and slot may be repeated; again, json and\n"
    "quiet take yes or no. The command line wins: its slots replace the file's, its --set of a\n"
    "key replaces the file's, and any other option it gives replaces the file's value.\n");

QString setKey(const QString &assignment) {
    return assignment.section(u'=', 0, 0).trimmed();
}

// The file's options as words placed before the command line's own, so that a value the command
// line gives is the one the parser keeps.
std::variant<QStringList, QString> fileArguments(const ConfigFile &file,
                                                 const QCommandLineParser &given) {
    QStringList setOnCommandLine;
    for (const QString &assignment : given.values(SetKey))
        setOnCommandLine.append(setKey(assignment));
    QStringList words;
    for (const ConfigLine &line : file.lines) {
        if (line.key == SlotKey ||
            (line.key == SetKey && setOnCommandLine.contains(setKey(line.value))))
            continue;
        if (!FlagKeys.contains(line.key)) {
            words.append(QStringLiteral("--%1=%2").arg(line.key, line.value));
            continue;
        }
        const QString answer = line.value.toLower();
        if (answer != u"yes" && answer != u"no")
            return QStringLiteral("%1: %2 takes yes or no, not \"%3\"")
                .arg(file.where(line), line.key, ledger::withControlsEscaped(line.value.left(80)));
        if (answer == u"yes")
            words.append(QStringLiteral("--") + line.key);
    }
    return words;
}

QString keyOf(station::SetupField field) {
    using station::SetupField;
    switch (field) {
        case SetupField::Slots:
            return SlotKey;
        case SetupField::Batch:
            return QStringLiteral("batch");
        case SetupField::Profile:
            return QStringLiteral("profile");
        case SetupField::Fields:
            return SetKey;
        case SetupField::Values:
            return QStringLiteral("values");
        case SetupField::First:
            return QStringLiteral("first");
        case SetupField::Count:
            return QStringLiteral("count");
        case SetupField::Ledger:
            return QStringLiteral("ledger");
        case SetupField::Station:
            return QStringLiteral("station");
        case SetupField::Timeout:
            return QStringLiteral("timeout");
        case SetupField::Operator:
            return QStringLiteral("operator");
        case SetupField::MaxAttempts:
            return QStringLiteral("max-attempts");
        case SetupField::Label:
            return QStringLiteral("label");
        case SetupField::Printer:
            return QStringLiteral("printer");
        case SetupField::SlotAlarm:
            return QStringLiteral("slot-alarm");
    }
    return {};
}

// A problem with a value that came from the file names the line it came from.
QString located(const QString &key, const QString &message, const ConfigFile &file,
                const QStringList &givenKeys) {
    const ConfigLine *line = givenKeys.contains(key) ? nullptr : file.last(key);
    if (key == SlotKey && line) {
        // The slot that repeats one before it, where one does.
        QStringList seen;
        for (const ConfigLine &slot : file.lines) {
            if (slot.key != SlotKey)
                continue;
            if (seen.contains(slot.value)) {
                line = &slot;
                break;
            }
            seen.append(slot.value);
        }
    }
    return line ? QStringLiteral("%1: %2").arg(file.where(*line), message) : message;
}

// The template read and checked in full, and the printer as far as it can be before a label.
std::variant<printing::PrintSetup, QString> labelSetup(const printing::PrintRequest &request,
                                                       const station::StationConfig &config) {
    auto maker = request.labelFile.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)
                     ? drawnLabelMaker(request.labelFile)
                     : printing::zplMaker(request.labelFile);
    if (const auto *problem = std::get_if<QString>(&maker))
        return *problem;
    if (const QString problem = printing::checkDestination(request.destination); !problem.isEmpty())
        return problem;
    return printing::PrintSetup{request.destination, std::get<printing::LabelMaker>(maker),
                                request.copies, config.ledger, config.station};
}

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
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Read options from FILE (see below)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption metrics(
        QStringLiteral("metrics"),
        QStringLiteral("Serve GET /metrics for Prometheus on [HOST:]PORT; without a host only this "
                       "machine can connect."),
        QStringLiteral("ADDRESS"));
    parser.addOptions({help, config});
    stationOptions.addTo(parser);
    parser.addOptions({json, quiet, log, metrics});
    const printing::PrintOptions printOptions;
    parser.addOptions(printOptions.options());

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] station"), QStringLiteral("station [options]"));
        return EarlyExit{text + u'\n' + station::StationOptions::explanation() + u'\n' +
                             ConfigText + u'\n' + ExitText,
                         ExitStatus::Success};
    }

    ConfigFile file;
    QStringList slotNames = parser.positionalArguments().mid(1);
    QStringList keys{SlotKey};
    for (const QCommandLineOption &option :
         stationOptions.options() + QList<QCommandLineOption>{json, quiet, log, metrics} +
             printOptions.options())
        keys.append(option.names().constFirst());
    // What the command line itself gave, to tell which values came from the file.
    QStringList givenKeys;
    for (const QString &key : keys) {
        if (key == SlotKey ? !slotNames.isEmpty() : parser.isSet(key))
            givenKeys.append(key);
    }
    if (parser.isSet(config)) {
        auto read = service::readConfigFile(parser.value(config), keys, {SlotKey, SetKey});
        if (const auto *problem = std::get_if<QString>(&read))
            return usageError(*problem);
        file = std::get<ConfigFile>(std::move(read));
        const auto words = fileArguments(file, parser);
        if (const auto *problem = std::get_if<QString>(&words))
            return usageError(*problem);
        if (slotNames.isEmpty()) {
            for (const ConfigLine &line : file.lines) {
                if (line.key == SlotKey)
                    slotNames.append(line.value);
            }
        }
        if (!parser.parse(arguments.mid(0, 1) + std::get<QStringList>(words) + arguments.mid(1)))
            return usageError(QStringLiteral("%1: %2").arg(file.path, parser.errorText()));
    }

    std::optional<service::ListenAddress> metricsAddress;
    if (parser.isSet(metrics)) {
        auto address = service::parseListenAddress(parser.value(metrics));
        if (const auto *problem = std::get_if<QString>(&address))
            return usageError(located(metrics.names().constFirst(), *problem, file, givenKeys));
        metricsAddress = std::get<service::ListenAddress>(address);
    }
    const auto print = printOptions.read(parser);
    if (const auto *problem = std::get_if<QString>(&print))
        return usageError(*problem);
    const auto checked = station::checkSetup(stationOptions.read(parser, slotNames));
    if (const auto *problems = std::get_if<QList<station::SetupProblem>>(&checked)) {
        // A ledger that cannot be named is told only once the rest is right.
        for (const station::SetupProblem &problem : *problems) {
            if (problem.field != station::SetupField::Ledger)
                return usageError(located(keyOf(problem.field), problem.message, file, givenKeys));
        }
        return EarlyExit{QStringLiteral("pairwick-cli: %1\n")
                             .arg(located(keyOf(problems->first().field), problems->first().message,
                                          file, givenKeys)),
                         ExitStatus::LedgerNotOpened};
    }
    const auto &setup = std::get<station::CheckedSetup>(checked);
    StationRequest request;
    request.config = setup.config;
    request.firstGiven = setup.firstGiven;
    request.logFile = parser.value(log);
    request.metrics = metricsAddress;
    request.json = parser.isSet(json);
    request.quiet = parser.isSet(quiet);
    if (const auto &labels = std::get<std::optional<printing::PrintRequest>>(print)) {
        auto setup = labelSetup(*labels, request.config);
        if (const auto *problem = std::get_if<QString>(&setup))
            return EarlyExit{QStringLiteral("pairwick-cli: %1\n").arg(*problem), ExitStatus::Usage};
        request.labels = std::get<printing::PrintSetup>(std::move(setup));
    }
    return request;
}

}  // namespace pairwick::cli
