// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "helptext.h"
#include "portlink.h"
#include "unitnumbering.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

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
    {Fault::Refuse, "error-on", "Refuse CMD: answer ERROR and leave the state as it was."},
    {Fault::Vanish, "vanish-on",
     "On receiving CMD remove the link, close the terminal and exit 0 without replying."},
};

constexpr int highestPort = 9999;
constexpr int mostAdapters = 256;
constexpr qint64 longestReplyDelayMs = 60000;
constexpr qint64 longestSettleMs = 60000;
constexpr qint64 lowestLineRate = 50;
constexpr qint64 highestLineRate = 4000000;

EarlyExit usageError(const QString &message) {
    return {QStringLiteral("pairwick-adapter-sim: %1\nTry --help.\n").arg(message), 2};
}

// A whole number from lowest to highest, or nothing.
std::optional<qint64> wholeNumber(const QString &text, qint64 lowest, qint64 highest) {
    bool valid = false;
    const qint64 number = text.toLongLong(&valid);
    return valid && number >= lowest && number <= highest ? std::optional(number) : std::nullopt;
}

// The chaos switches, or the reason they make no sense.
std::variant<ChaosSettings, QString> chaosSettings(const QString &seed, const QString &rate,
                                                   const QString &faults) {
    ChaosSettings settings;
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    bool valid = false;
    settings.seed = seed.toULongLong(&valid);
    if (!valid || !digits.match(seed).hasMatch()) {
        return QStringLiteral("--chaos takes an unsigned whole number, not %1").arg(seed);
    }
    settings.rate = rate.toDouble(&valid);
    if (!valid || !(settings.rate >= 0 && settings.rate <= 1)) {
        return QStringLiteral("--chaos-rate takes a probability from 0 to 1, not %1").arg(rate);
    }
    for (const QString &name : faults.split(QLatin1Char(','))) {
        const std::optional<Fault> fault = chaosFault(name.toStdString());
        if (!fault) {
            return QStringLiteral("--chaos-faults knows no fault \"%1\"").arg(name);
        }
        settings.faults.push_back(*fault);
    }
    return settings;
}

QString allChaosFaults() {
    QStringList names;
    for (const ChaosKind &kind : chaosKinds()) {
        names.append(QLatin1String(kind.name.data(), qsizetype(kind.name.size())));
    }
    return names.join(QLatin1Char(','));
}

}  // namespace

std::variant<Options, EarlyExit> parseOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays one or more Bluetooth serial adapters, each on a pseudo-terminal linked as comN "
        "in the port map folder, so Pairwick can be tried without hardware."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and the factory state."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The port to appear as (default COM1); further adapters take the ports "
                       "after it."),
        QStringLiteral("COMn"), QStringLiteral("COM1"));
    const QCommandLineOption adaptersOption(
        QStringLiteral("adapters"),
        QStringLiteral("Play N independent adapters, each with its own terminal, link and state "
                       "(1 to %1, default 1).")
            .arg(mostAdapters),
        QStringLiteral("N"), QStringLiteral("1"));
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
    const QCommandLineOption replyDelayOption(
        QStringLiteral("reply-delay"),
        QStringLiteral("Milliseconds from a received line to the first byte of its reply "
                       "(0 to %1, default 20).")
            .arg(longestReplyDelayMs),
        QStringLiteral("MS"), QStringLiteral("20"));
    const QCommandLineOption lineRateOption(
        QStringLiteral("line-rate"),
        QStringLiteral("Send no faster than a serial line of BAUD bits a second, 10 bits a byte, "
                       "and answer a line only after its own byte time (%1 to %2; default: as "
                       "fast as the terminal takes the bytes).")
            .arg(lowestLineRate)
            .arg(highestLineRate),
        QStringLiteral("BAUD"));
    const QCommandLineOption lowercaseOption(QStringLiteral("lowercase-ok"),
                                             QStringLiteral("Acknowledge with ok, not OK."));
    const QCommandLineOption floodOption(
        QStringLiteral("flood"),
        QStringLiteral("From 500 ms after the first received line on, send BYTES random "
                       "non-ASCII bytes as fast as the line allows, still answering."),
        QStringLiteral("BYTES"));
    const QCommandLineOption chaosOption(
        QStringLiteral("chaos"),
        QStringLiteral("Play random faults (listed below), drawn from SEED and the adapter's "
                       "place, so the same seed and the same lines give the same faults."),
        QStringLiteral("SEED"));
    const QCommandLineOption chaosRateOption(
        QStringLiteral("chaos-rate"),
        QStringLiteral("The probability that a received line gets a fault (0 to 1, default 0.1)."),
        QStringLiteral("R"), QStringLiteral("0.1"));
    const QCommandLineOption chaosFaultsOption(
        QStringLiteral("chaos-faults"),
        QStringLiteral("Draw only from these faults (default all)."), QStringLiteral("LIST"),
        allChaosFaults());
    const QCommandLineOption unitsOption(
        QStringLiteral("units"),
        QStringLiteral("Play a series of units on each port, one after another, each with its own "
                       "serial, address and factory state; control lines on standard input take "
                       "them out and put them in (see below)."));
    const QCommandLineOption firstUnitOption(
        QStringLiteral("first-unit"),
        QStringLiteral("The serial of the first unit (0 to %1, default 1).")
            .arg(unitSerialLimit - 1),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption unitSettleOption(
        QStringLiteral("unit-settle"),
        QStringLiteral("Milliseconds from taking a unit out with next to putting the next one in "
                       "(0 to %1, default 300).")
            .arg(longestSettleMs),
        QStringLiteral("MS"), QStringLiteral("300"));
    const QCommandLineOption startEmptyOption(QStringLiteral("start-empty"),
                                              QStringLiteral("Start with no unit in any port."));
    const QCommandLineOption unplugOption(
        QStringLiteral("unplug"),
        QStringLiteral("How an unplugged adapter leaves the port map's link: dangle (default) "
                       "re-points it at a path that does not exist; udev points it at a by-path "
                       "link in a folder of the simulator's own, which goes with the adapter, "
                       "its folders too once empty, and comes back with the next one."),
        QStringLiteral("MODE"), QStringLiteral("dangle"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("Print only the ready lines."));
    parser.addOptions({helpOption, portOption, adaptersOption, foldersOption, roleOption,
                       gb18030Option, replyDelayOption, lineRateOption, lowercaseOption,
                       floodOption, chaosOption, chaosRateOption, chaosFaultsOption, unitsOption,
                       firstUnitOption, unitSettleOption, startEmptyOption, unplugOption,
                       quietOption});
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
        return EarlyExit{parser.helpText() + helpEpilogue(), 0};
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
        return usageError(QStringLiteral("--port takes COM1 to COM%1, not %2")
                              .arg(highestPort)
                              .arg(parser.value(portOption)));
    }
    options.firstPort = port.captured(1).toInt();
    const std::optional<qint64> adapters =
        wholeNumber(parser.value(adaptersOption), 1,
                    std::min(mostAdapters, highestPort - options.firstPort + 1));
    if (!adapters) {
        return usageError(
            QStringLiteral("--adapters takes 1 to %1 adapters that fit below COM%2, not %3")
                .arg(mostAdapters)
                .arg(highestPort + 1)
                .arg(parser.value(adaptersOption)));
    }
    options.adapters = int(*adapters);
    options.portsFolder = portMapFolder(parser.value(foldersOption));

    const QString role = parser.value(roleOption);
    if (role != QLatin1String("0") && role != QLatin1String("1")) {
        return usageError(QStringLiteral("--initial-role takes 0 or 1, not %1").arg(role));
    }
    options.startAsMaster = role == QLatin1String("1");

    const std::optional<qint64> replyDelay =
        wholeNumber(parser.value(replyDelayOption), 0, longestReplyDelayMs);
    if (!replyDelay) {
        return usageError(QStringLiteral("--reply-delay takes 0 to %1 milliseconds, not %2")
                              .arg(longestReplyDelayMs)
                              .arg(parser.value(replyDelayOption)));
    }
    options.replyDelay = std::chrono::milliseconds(*replyDelay);
    if (parser.isSet(lineRateOption)) {
        const std::optional<qint64> lineRate =
            wholeNumber(parser.value(lineRateOption), lowestLineRate, highestLineRate);
        if (!lineRate) {
            return usageError(QStringLiteral("--line-rate takes %1 to %2 baud, not %3")
                                  .arg(lowestLineRate)
                                  .arg(highestLineRate)
                                  .arg(parser.value(lineRateOption)));
        }
        options.lineRate = *lineRate;
    }
    if (parser.isSet(floodOption)) {
        const std::optional<qint64> flood =
            wholeNumber(parser.value(floodOption), 0, std::numeric_limits<qint64>::max());
        if (!flood) {
            return usageError(QStringLiteral("--flood takes a byte count, not %1")
                                  .arg(parser.value(floodOption)));
        }
        options.floodBytes = *flood;
    }

    if (parser.isSet(chaosOption)) {
        auto chaos = chaosSettings(parser.value(chaosOption), parser.value(chaosRateOption),
                                   parser.value(chaosFaultsOption));
        if (const QString *reason = std::get_if<QString>(&chaos)) {
            return usageError(*reason);
        }
        options.chaos = std::get<ChaosSettings>(std::move(chaos));
    } else if (parser.isSet(chaosRateOption) || parser.isSet(chaosFaultsOption)) {
        return usageError(QStringLiteral("--chaos-rate and --chaos-faults need --chaos SEED"));
    }

    options.units = parser.isSet(unitsOption);
    if (!options.units && (parser.isSet(firstUnitOption) || parser.isSet(unitSettleOption) ||
                           parser.isSet(startEmptyOption))) {
        return usageError(
            QStringLiteral("--first-unit, --unit-settle and --start-empty need --units"));
    }
    const std::optional<qint64> firstUnit =
        wholeNumber(parser.value(firstUnitOption), 0, unitSerialLimit - 1);
    if (!firstUnit) {
        return usageError(QStringLiteral("--first-unit takes 0 to %1, not %2")
                              .arg(unitSerialLimit - 1)
                              .arg(parser.value(firstUnitOption)));
    }
    options.firstUnit = *firstUnit;
    const std::optional<qint64> unitSettle =
        wholeNumber(parser.value(unitSettleOption), 0, longestSettleMs);
    if (!unitSettle) {
        return usageError(QStringLiteral("--unit-settle takes 0 to %1 milliseconds, not %2")
                              .arg(longestSettleMs)
                              .arg(parser.value(unitSettleOption)));
    }
    options.unitSettle = std::chrono::milliseconds(*unitSettle);
    options.startEmpty = parser.isSet(startEmptyOption);
    const QString unplug = parser.value(unplugOption);
    if (unplug != QLatin1String("dangle") && unplug != QLatin1String("udev")) {
        return usageError(QStringLiteral("--unplug takes dangle or udev, not %1").arg(unplug));
    }
    options.udevLinks = unplug == QLatin1String("udev");

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
