// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clirequest.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "cli/pairoptions.h"
#include "settings/profile.h"

namespace pairwick::cli {

namespace {

using Command = CliRequest::Command;

struct CommandFacts {
    Command command;
    const char *name;
    const char *summary;
};

constexpr CommandFacts Commands[]{
    {Command::Ports, "ports", "List COM1 to COM16: device, stable name, whether it opens."},
    {Command::Read, "read", "Probe each port with AT, then read all settings."},
    {Command::Write, "write",
     "Probe, read, write the values that differ, read back and verify them."},
    {Command::Reset, "reset", "Restore the factory settings, wait 3 s, read back."},
    {Command::Pair, "pair", "Make two adapters a wireless cable: MASTER bound to SLAVE, one PIN."},
    {Command::Station, "station", "Provision unit after unit in every slot, recorded in a ledger."},
    {Command::Ledger, "ledger",
     "List a ledger's batches or units, or check it ('pairwick-cli ledger --help')."},
    {Command::Label, "label",
     "Preview a label template filled with a unit's values ('pairwick-cli label --help')."},
};

// The commands that read their own options.
bool parsesItself(Command command) {
    return command == Command::Station || command == Command::Ledger || command == Command::Label;
}

QString commandNames() {
    QStringList names;
    for (const CommandFacts &facts : Commands)
        names.append(QLatin1String(facts.name));
    return names.join(QStringLiteral(", "));
}

const QString ExitStatusText = QStringLiteral(
    "Exit status:\n"
    "  0    every port succeeded\n"
    "  1    at least one port failed a step or the verification, or the wire log\n"
    "       could not be written\n"
    "  2    usage or profile error; nothing was sent\n"
    "  3    at least one port could not be opened (the others still ran)\n"
    "  130  stopped by Ctrl-C or SIGTERM\n");

const QString KeysText = QStringLiteral(
    "Keys (profiles, --set and JSON output):\n"
    "  name      text, at most 20 characters\n"
    "  baud      1200 2400 4800 9600 14400 19200 38400 57600 115200 230400 256000 460800\n"
    "  parity    N O E\n"
    "  stop      1 2\n"
    "  role      master slave\n"
    "  messages  on off (JSON: true false)\n"
    "  pin       text, at most 10 characters\n"
    "  bind      text; only for an adapter in (or being set to) the master role\n"
    "  version, address: read-only, printed by read, ignored by write\n");

QString overview() {
    QString text = QStringLiteral(
        "Usage: pairwick-cli COMMAND [options] [PORT...]\n"
        "Reads, writes and resets Bluetooth serial adapters over their serial lines, several ports "
        "at once, as fast as each line allows.\n\nCommands:\n");
    for (const CommandFacts &facts : Commands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(facts.name), -9)
                    .arg(QLatin1String(facts.summary));
    text += QStringLiteral(
        "\nPORT is COMn (through the same port map as the window: $PAIRWICK_PORTS, else "
        "~/.config/pairwick/ports, else COM1-4 ttyS0-3, COM5-12 ttyUSB0-7, COM13-16 ttyACM0-3) "
        "or a device path.\n"
        "'pairwick-cli COMMAND --help' shows the options of a command.\n\n"
        "Options:\n  -h, --help     Show this help.\n  -v, --version  Show the version.\n\n");
    return text + KeysText + u'\n' + ExitStatusText;
}

const CommandFacts *findCommand(const QString &name) {
    for (const CommandFacts &facts : Commands) {
        if (name == QLatin1String(facts.name))
            return &facts;
    }
    return nullptr;
}

std::variant<CliRequest, EarlyExit> parseCommand(const CommandFacts &facts,
                                                 const QStringList &arguments) {
    const bool takesPorts = facts.command != Command::Ports;
    const bool pair = facts.command == Command::Pair;
    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(facts.summary));
    parser.addPositionalArgument(QLatin1String(facts.name), QStringLiteral("The command."));
    const PairOptions pairOptions;
    if (pair)
        pairOptions.addPositionalArguments(parser);
    else if (takesPorts)
        parser.addPositionalArgument(QStringLiteral("PORT"), QStringLiteral("COMn or a device."),
                                     QStringLiteral("PORT..."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the results as one JSON document."));
    const QCommandLineOption profile(QStringLiteral("profile"),
                                     QStringLiteral("Settings to write, from a JSON file (a "
                                                    "'read --json' of one port will do)."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption set(QStringLiteral("set"),
                                 QStringLiteral("A setting to write; overrides the profile. May be "
                                                "given more than once."),
                                 QStringLiteral("KEY=VALUE"));
    const QCommandLineOption paced(QStringLiteral("paced"),
                                   QStringLiteral("Take one second for every exchange, as the "
                                                  "window does."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("How long to wait for an incomplete reply (default 1000)."),
        QStringLiteral("MS"), QStringLiteral("1000"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Append every line sent and received, per port, "
                                                "with a timestamp, to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No progress on standard error."));
    parser.addOption(help);
    parser.addOption(json);
    if (facts.command == Command::Write)
        parser.addOptions({profile, set});
    if (pair)
        pairOptions.addOptions(parser);
    if (takesPorts)
        parser.addOptions({paced, timeout, log, quiet});

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] %1").arg(QLatin1String(facts.name)),
                     QStringLiteral("%1 [options]").arg(QLatin1String(facts.name)));
        if (facts.command == Command::Write)
            text += u'\n' + KeysText;
        if (pair)
            return EarlyExit{text + u'\n' + PairOptions::explanation(), ExitStatus::Success};
        return EarlyExit{text + u'\n' + ExitStatusText, ExitStatus::Success};
    }

    CliRequest request;
    request.command = facts.command;
    request.ports = parser.positionalArguments().mid(1);
    request.json = parser.isSet(json);
    if (!takesPorts) {
        if (!request.ports.isEmpty())
            return usageError(QStringLiteral("ports takes no PORT"));
        return request;
    }
    if (pair) {
        const QString problem = pairOptions.read(parser, request);
        if (!problem.isEmpty())
            return usageError(problem);
    }
    if (request.ports.isEmpty())
        return usageError(
            QStringLiteral("%1 needs at least one PORT").arg(QLatin1String(facts.name)));
    if (request.ports.removeDuplicates() > 0)
        return usageError(QStringLiteral("a PORT is named twice"));
    const std::optional<int> timeoutMs = provision::parseTimeout(parser.value(timeout));
    if (!timeoutMs)
        return usageError(QStringLiteral("--timeout takes 1 to %1 milliseconds, not %2")
                              .arg(provision::TimeoutLimitMs)
                              .arg(parser.value(timeout)));
    request.pace.timeoutMs = *timeoutMs;
    request.pace.paced = parser.isSet(paced);
    request.logFile = parser.value(log);
    request.quiet = parser.isSet(quiet);

    if (facts.command == Command::Write) {
        QString error;
        if (parser.isSet(profile)) {
            const std::optional<settings::AdapterSettings> loaded =
                settings::loadProfile(parser.value(profile), &error);
            if (!loaded)
                return usageError(error);
            request.desired = *loaded;
        }
        for (const QString &assignment : parser.values(set)) {
            if (!settings::applySetting(assignment, request.desired, &error))
                return usageError(error);
        }
        if (request.desired.isEmpty())
            return usageError(QStringLiteral("write needs --profile or --set"));
        const QString problem = settings::combinationProblem(request.desired);
        if (!problem.isEmpty())
            return usageError(problem);
    }
    return request;
}

}  // namespace

EarlyExit usageError(const QString &message) {
    return {QStringLiteral("pairwick-cli: %1\nTry 'pairwick-cli --help'.\n").arg(message),
            ExitStatus::Usage};
}

std::variant<CliRequest, EarlyExit> parseCommandLine(const QStringList &arguments) {
    const QStringList rest = arguments.mid(1);
    if (rest.isEmpty())
        return usageError(
            QStringLiteral("a COMMAND is missing; the commands are %1").arg(commandNames()));
    const QString first = rest.constFirst();
    if (first == u"--help" || first == u"-h")
        return EarlyExit{overview(), ExitStatus::Success};
    if (first == u"--version" || first == u"-v")
        return EarlyExit{
            QStringLiteral("pairwick-cli %1\n").arg(QCoreApplication::applicationVersion()),
            ExitStatus::Success};
    const CommandFacts *facts = findCommand(first);
    if (!facts)
        return usageError(
            QStringLiteral("unknown command '%1'; the commands are %2").arg(first, commandNames()));
    if (parsesItself(facts->command)) {
        CliRequest delegated;
        delegated.command = facts->command;
        return delegated;
    }
    return parseCommand(*facts, arguments);
}

provision::Operation operationOf(CliRequest::Command command) {
    switch (command) {
        case Command::Write:
            return provision::Operation::Write;
        case Command::Reset:
            return provision::Operation::Reset;
        default:
            return provision::Operation::Read;
    }
}

}  // namespace pairwick::cli
