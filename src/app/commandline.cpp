// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <functional>
#include <vector>

namespace pairwick::app {

namespace {

const QString Program = QStringLiteral("pairwick");

const QString Description =
    QStringLiteral("Configure a Bluetooth serial adapter over its serial line.");

const QString Epilogue = QStringLiteral(
    "The window is Chinese, whatever the system's locale, unless --language en is\n"
    "given. Its port list holds COM1 to COM16: COM1-COM4 name /dev/ttyS0-3,\n"
    "COM5-COM12 /dev/ttyUSB0-7 and COM13-COM16 /dev/ttyACM0-3. A symbolic link comN\n"
    "in $PAIRWICK_PORTS (by default ~/.config/pairwick/ports) names the device of\n"
    "COMN instead.\n");

// An option that takes effect in Options. `apply` stores the value and returns what is wrong
// with it, or an empty text.
struct OptionEntry {
    QCommandLineOption option;
    std::function<QString(Options &options, const QString &value)> apply;
};

std::vector<OptionEntry> optionEntries() {
    const QString languages = i18n::languageNames().join(QStringLiteral(", "));
    return {
        {QCommandLineOption({QStringLiteral("l"), QStringLiteral("language")},
                            QStringLiteral("Show the window in LANG: zh (Chinese, the default) "
                                           "or en (English)."),
                            QStringLiteral("LANG")),
         [languages](Options &options, const QString &value) {
             const auto language = i18n::languageNamed(value);
             if (!language)
                 return QStringLiteral("Unknown language '%1'; use one of: %2.")
                     .arg(value, languages);
             options.language = *language;
             return QString();
         }},
        {QCommandLineOption(QStringLiteral("log"),
                            QStringLiteral("Append every line sent to and received from the "
                                           "adapter, with a timestamp, to FILE."),
                            QStringLiteral("FILE")),
         [](Options &options, const QString &value) {
             options.logFile = value;
             return value.isEmpty() ? QStringLiteral("--log needs a file name.") : QString();
         }},
    };
}

QString helpText(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    // The parser names the program as it was started, path and all; the manual page made from
    // this text wants its plain name.
    const qsizetype usageEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, usageEnd, QStringLiteral("Usage: %1 [options]").arg(Program));
    return text + QLatin1Char('\n') + Epilogue;
}

EarlyExit usageError(const QCommandLineParser &parser, const QString &message) {
    return {2, QStringLiteral("%1: %2\n\n").arg(Program, message) + helpText(parser)};
}

}  // namespace

std::variant<Options, EarlyExit> parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    const std::vector<OptionEntry> entries = optionEntries();
    for (const OptionEntry &entry : entries)
        parser.addOption(entry.option);

    if (!parser.parse(arguments))
        return usageError(parser, parser.errorText());
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty())
        return usageError(parser, QStringLiteral("Unexpected argument '%1'.").arg(stray.first()));
    if (parser.isSet(help))
        return EarlyExit{0, helpText(parser)};
    if (parser.isSet(version))
        return EarlyExit{0,
                         QStringLiteral("%1 %2\n").arg(Program, QStringLiteral(PAIRWICK_VERSION))};

    Options options;
    for (const OptionEntry &entry : entries) {
        if (!parser.isSet(entry.option))
            continue;
        if (const QString fault = entry.apply(options, parser.value(entry.option));
            !fault.isEmpty())
            return usageError(parser, fault);
    }
    return options;
}

}  // namespace pairwick::app
