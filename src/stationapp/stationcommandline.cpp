// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationapp/stationcommandline.h"

#include <QCommandLineParser>

#include "printing/printoptions.h"
#include "station/stationoptions.h"

namespace pairwick::stationapp {

namespace {

const QString Program = QStringLiteral("pairwick-station");

const QString Epilogue = QStringLiteral(
    "The window shows one tile per SLOT, the totals of this station and of the whole batch,\n"
    "and the batch's units in the ledger. Every option fills in a field of the window; with\n"
    "--start the run starts at once when every field is right. The window is Chinese,\n"
    "whatever the system's locale, unless --language en is given.\n\n");

QString helpText(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    // The manual page made from this text wants the program's plain name, not its path.
    const qsizetype usageEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, usageEnd, QStringLiteral("Usage: %1 [options] [SLOT...]").arg(Program));
    return text + QLatin1Char('\n') + Epilogue + station::StationOptions::explanation();
}

}  // namespace

std::variant<StationOptions, app::EarlyExit> parseStationCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A production station: provision unit after unit in every slot, each "
                       "with values of its own, recorded in a ledger that several stations "
                       "share."));
    parser.addPositionalArgument(QStringLiteral("SLOT"),
                                 QStringLiteral("COMn, a device path or a by-path name."),
                                 QStringLiteral("[SLOT...]"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption start(QStringLiteral("start"),
                                   QStringLiteral("Start the run at once."));
    const QCommandLineOption language({QStringLiteral("l"), QStringLiteral("language")},
                                      QStringLiteral("Show the window in LANG: zh (Chinese, the "
                                                     "default) or en (English)."),
                                      QStringLiteral("LANG"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Append every line sent and received to FILE."),
                                 QStringLiteral("FILE"));
    const station::StationOptions stationOptions;
    parser.addOptions({help, version, start, language, log});
    stationOptions.addTo(parser);
    const printing::PrintOptions printOptions;
    parser.addOptions(printOptions.options());

    const auto usageError = [&parser](const QString &message) {
        return app::EarlyExit{
            2, QStringLiteral("%1: %2\n\n").arg(Program, message) + helpText(parser)};
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        return app::EarlyExit{0, helpText(parser)};
    if (parser.isSet(version))
        return app::EarlyExit{
            0, QStringLiteral("%1 %2\n").arg(Program, QStringLiteral(PAIRWICK_VERSION))};

    StationOptions options;
    if (parser.isSet(language)) {
        const std::optional<i18n::Language> named = i18n::languageNamed(parser.value(language));
        if (!named)
            return usageError(
                QStringLiteral("Unknown language '%1'; use one of: %2.")
                    .arg(parser.value(language), i18n::languageNames().join(QStringLiteral(", "))));
        options.language = *named;
    }
    options.logFile = parser.value(log);
    options.startAtOnce = parser.isSet(start);
    options.setup = stationOptions.read(parser, parser.positionalArguments());
    if (const QString problem = printOptions.fill(parser, options.setup); !problem.isEmpty())
        return usageError(problem);
    return options;
}

}  // namespace pairwick::stationapp
