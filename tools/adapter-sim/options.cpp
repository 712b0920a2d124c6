// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "adapterstate.h"
#include "portlink.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace pairwick::adaptersim {

namespace {

struct FaultSwitch {
    Fault fault;
    const char *name;
    const char *description;
};

constexpr FaultSwitch faultSwitches[] = {
    {Fault::Silent, "silent-on", "Send no reply at all to CMD."},
    {Fault::NoEcho, "no-echo", "Answer CMD without repeating the command line."},
    {Fault::LateTail, "late-tail", "Send the last 4 bytes of the reply to CMD 1500 ms late."},
    {Fault::WrongToken, "wrong-token",
     "Answer the query CMD with a value the tool must refuse: AT+UART? reports 9601,8,n,3, "
     "AT+ROLE? 2, AT+MSGENABLE? en, any other query its value followed by X."},
    {Fault::Garbage, "garbage", "Answer CMD with 16 random non-ASCII bytes and no OK."},
    {Fault::Vanish, "vanish-on",
     "On receiving CMD remove the link, close the terminal and exit 0 without replying."},
};

QString factoryTable() {
    QString text = QStringLiteral(
        "\nFactory state (AT+DEFAULT restores it, whatever the start options were):\n");
    for (const FactoryValue &entry : factoryValues) {
        text += QStringLiteral("  %1 %2\n")
                    .arg(QLatin1String(entry.label.data(), qsizetype(entry.label.size())) +
                             QLatin1Char(':'),
                         -26)
                    .arg(QLatin1String(entry.value.data(), qsizetype(entry.value.size())));
    }
    text += QStringLiteral(
        "\nCMD is a whole command line without CR LF, e.g. AT+VER?; each fault switch may be "
        "given more than once. A command that gets a faulty reply still takes effect.\n");
    return text;
}

EarlyExit usageError(const QString &message) {
    return {QStringLiteral("pairwick-adapter-sim: %1\nTry --help.\n").arg(message), 2};
}

}  // namespace

std::variant<Options, EarlyExit> parseOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a Bluetooth serial adapter on a pseudo-terminal and links it as comN in the "
        "port map folder, so Pairwick can be tried without hardware."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and the factory state."));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The port to appear as (default COM1)."),
                                        QStringLiteral("COMn"), QStringLiteral("COM1"));
    const QCommandLineOption foldersOption(
        QStringLiteral("ports-dir"),
        QStringLiteral("The port map folder (default $PAIRWICK_PORTS, else "
                       "$XDG_CONFIG_HOME/pairwick/ports)."),
        QStringLiteral("DIR"));
    const QCommandLineOption roleOption(QStringLiteral("initial-role"),
                                        QStringLiteral("Start in role 0 (slave) or 1 (master)."),
                                        QStringLiteral("ROLE"), QStringLiteral("0"));
    const QCommandLineOption gb18030Option(
        QStringLiteral("name-gb18030"),
        QStringLiteral("Start with the device name stored as the GB18030 bytes of 测试设备."));
    const QCommandLineOption lowercaseOption(QStringLiteral("lowercase-ok"),
                                             QStringLiteral("Acknowledge with ok, not OK."));
    const QCommandLineOption floodOption(
        QStringLiteral("flood"),
        QStringLiteral("From 500 ms after the first received line on, send BYTES random "
                       "non-ASCII bytes as fast as the terminal takes them, still answering."),
        QStringLiteral("BYTES"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("Print only the ready line."));
    parser.addOptions({helpOption, portOption, foldersOption, roleOption, gb18030Option,
                       lowercaseOption, floodOption, quietOption});
    QList<QCommandLineOption> faultOptions;
    for (const FaultSwitch &entry : faultSwitches) {
        faultOptions.append(QCommandLineOption(
            QLatin1String(entry.name), QLatin1String(entry.description), QStringLiteral("CMD")));
        parser.addOption(faultOptions.last());
    }

    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        return EarlyExit{parser.helpText() + factoryTable(), 0};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("unexpected argument %1")
                              .arg(parser.positionalArguments().constFirst()));
    }

    Options options;
    static const QRegularExpression portPattern(QStringLiteral("^COM([1-9][0-9]{0,3})$"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch port = portPattern.match(parser.value(portOption));
    if (!port.hasMatch()) {
        return usageError(
            QStringLiteral("--port takes COM1 to COM9999, not %1").arg(parser.value(portOption)));
    }
    options.linkName = QStringLiteral("com") + port.captured(1);
    options.portsFolder = portMapFolder(parser.value(foldersOption));

    const QString role = parser.value(roleOption);
    if (role != QLatin1String("0") && role != QLatin1String("1")) {
        return usageError(QStringLiteral("--initial-role takes 0 or 1, not %1").arg(role));
    }
    options.startAsMaster = role == QLatin1String("1");

    if (parser.isSet(floodOption)) {
        bool valid = false;
        options.floodBytes = parser.value(floodOption).toLongLong(&valid);
        if (!valid || options.floodBytes < 0) {
            return usageError(QStringLiteral("--flood takes a byte count, not %1")
                                  .arg(parser.value(floodOption)));
        }
    }
    options.gb18030Name = parser.isSet(gb18030Option);
    options.lowercaseOk = parser.isSet(lowercaseOption);
    options.quiet = parser.isSet(quietOption);
    for (qsizetype i = 0; i < faultOptions.size(); ++i) {
        for (const QString &command : parser.values(faultOptions[i])) {
            options.faults.add(faultSwitches[i].fault, command.toUtf8());
        }
    }
    return options;
}

}  // namespace pairwick::adaptersim
