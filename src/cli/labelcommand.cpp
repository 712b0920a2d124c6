// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/labelcommand.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QSysInfo>

#include "cli/clirequest.h"
#include "cli/commandarguments.h"
#include "cli/labelprint.h"
#include "cli/output.h"
#include "labels/labeltemplate.h"
#include "ledger/ledger.h"
#include "printing/reprint.h"
#include "printing/valuesjson.h"
#include "settings/boundedfile.h"

namespace pairwick::cli {

namespace {

const QString Description = QStringLiteral(
    "Writes a label as it would print, for its designer to check, or prints labels again.\n"
    "  preview  fills the template with a unit's values from the ledger (--batch and --seq,\n"
    "           a unit that passed) or with made-up ones of the longest lengths (--sample)\n"
    "  print    reprints the labels of units that passed, from the ledger (--batch with --seq\n"
    "           N..., or --passed [--since TIME]), each recorded with --reason; refuses a unit\n"
    "           that did not pass before anything is sent. --pending prints the labels a\n"
    "           station (--station, default the host name) left waiting when it stopped\n"
    "Printers (--printer): tcp:HOST:PORT (raw), a device path, cups:QUEUE (through lp: ZPL\n"
    "raw, an SVG label as a PDF page), dir:FOLDER (a file a label).\n"
    "Templates: FILE.zpl for a label printer (previewed as .zpl), FILE.svg for any other\n"
    "(previewed as .pdf or .png). Fields: {name} {pin} {address} {address:plain} {seq}\n"
    "{seq:N} {batch} {station} {slot} {operator} {date}; {{ and }} are braces. In an SVG, the\n"
    "element of id \"qr\" (QR code) or \"barcode\" (Code 128) is a box that the code of its\n"
    "data-value fills.");

const QString LabelExitStatusText = QStringLiteral(
    "Exit status:\n"
    "  0    written; printed and recorded\n"
    "  1    a unit is not in the batch or has not passed (nothing was printed)\n"
    "  2    usage error (print without --reason); a template refused (unreadable, not UTF-8,\n"
    "       over 1 MiB, not one label, an unknown field, a code without a box or too small\n"
    "       for its text); the preview could not be written; a printer that cannot work (no\n"
    "       such CUPS queue or folder, a device this login may not write)\n"
    "  3    print: the printer is away (refused, unplugged, out of paper, answered nonsense);\n"
    "       the labels before it were printed and recorded, --pending ones still wait\n"
    "  4    the ledger cannot be opened\n");

constexpr int NothingToPrint = 1;

int usage(const QString &message) {
    return refuse(ExitStatus::Usage, message, QStringLiteral("Try 'pairwick-cli label --help'.\n"));
}

// The values of a unit that passed, as the ledger recorded them, or the exit status.
std::variant<labels::LabelValues, int> recordedValues(const QString &url, const QString &batch,
                                                      qint64 seq) {
    QString error;
    const std::optional<ledger::LedgerLocation> location = commandLineLedger(url, &error);
    if (!location)
        return refuse(ExitStatus::LedgerNotOpened, error);
    std::optional<ledger::UnitRow> found;
    try {
        ledger::Ledger opened(*location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly);
        ledger::Selection selection;
        selection.batch = batch;
        selection.search = QString::number(seq);
        opened.units(selection, [&](const ledger::UnitRow &unit) {
            if (unit.seq == seq)
                found = unit;
        });
    } catch (const ledger::LedgerError &failure) {
        return refuse(ExitStatus::LedgerNotOpened, failure.message());
    }
    if (!found)
        return refuse(NothingToPrint,
                      QStringLiteral("batch %1 has no unit %2").arg(batch).arg(seq));
    if (found->state != u"passed")
        return refuse(NothingToPrint,
                      QStringLiteral("unit %1 of batch %2 has not passed (it is %3); its label "
                                     "would not print")
                          .arg(seq)
                          .arg(batch, found->state));
    return printing::recordedLabelValues(*found);
}

// A station's values file, as its label queue keeps them: what --values hands a drawing.
std::variant<labels::LabelValues, int> valuesOfFile(const QString &path) {
    QString error;
    const std::optional<QByteArray> content = settings::readBoundedFile(path, &error);
    if (!content)
        return refuse(ExitStatus::Usage, error);
    const QJsonDocument json = QJsonDocument::fromJson(*content);
    if (!json.isObject())
        return refuse(ExitStatus::Usage,
                      QStringLiteral("%1: not a JSON object of a unit's values").arg(path));
    return printing::valuesFromJson(json.object());
}

int preview(const QString &labelFile, const QString &out, const QString &url,
            const std::optional<std::pair<QString, qint64>> &unit, const QString &valuesFile) {
    const auto loaded = labels::LabelTemplate::load(labelFile);
    if (const auto *problem = std::get_if<QString>(&loaded))
        return refuse(ExitStatus::Usage, *problem);
    const labels::LabelTemplate &labelTemplate = std::get<labels::LabelTemplate>(loaded);
    labels::LabelValues values = labels::sampleValues();
    if (unit) {
        const auto recorded = recordedValues(url, unit->first, unit->second);
        if (const int *status = std::get_if<int>(&recorded))
            return *status;
        values = std::get<labels::LabelValues>(recorded);
    }
    if (!valuesFile.isEmpty()) {
        const auto given = valuesOfFile(valuesFile);
        if (const int *status = std::get_if<int>(&given))
            return *status;
        values = std::get<labels::LabelValues>(given);
    }
    if (const QString problem = labelTemplate.writePreview(values, out); !problem.isEmpty())
        return refuse(ExitStatus::Usage, problem);
    return ExitStatus::Success;
}

}  // namespace

int runLabelCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    parser.addPositionalArgument(QStringLiteral("label"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("WHAT"), QStringLiteral("preview or print."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const printing::PrintOptions printOptions;
    const QCommandLineOption out(
        QStringLiteral("out"),
        QStringLiteral("preview: where to write the label: FILE.zpl for a ZPL template, FILE.pdf "
                       "or FILE.png for an SVG one."),
        QStringLiteral("FILE"));
    const QCommandLineOption batch(QStringLiteral("batch"), QStringLiteral("The units' batch."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption seq(
        QStringLiteral("seq"),
        QStringLiteral("A unit's number in its batch; print: may be repeated, or N,N,..."),
        QStringLiteral("N"));
    const QCommandLineOption sample(
        QStringLiteral("sample"),
        QStringLiteral("preview: made-up values of the longest lengths instead of a unit's."));
    const QCommandLineOption valuesFile(
        QStringLiteral("values"),
        QStringLiteral("preview: a unit's values from a JSON object (batch, seq, name, pin, "
                       "address, station, slot), as a station draws its SVG labels."),
        QStringLiteral("FILE.json"));
    const QCommandLineOption passed(QStringLiteral("passed"),
                                    QStringLiteral("print: every unit of the batch that passed."));
    const QCommandLineOption since(
        QStringLiteral("since"),
        QStringLiteral("print --passed: only units active since TIME (ISO 8601; local time "
                       "without a zone)."),
        QStringLiteral("TIME"));
    const QCommandLineOption reason(
        QStringLiteral("reason"),
        QStringLiteral("print: why the labels are printed again, recorded as \"reprint: TEXT\"."),
        QStringLiteral("TEXT"));
    const QCommandLineOption pending(
        QStringLiteral("pending"),
        QStringLiteral("print: the labels a station left waiting, in the order of its passes."));
    const QCommandLineOption stationName(
        QStringLiteral("station"),
        QStringLiteral("print: the station whose labels wait, or that reprints (default: the "
                       "host name)."),
        QStringLiteral("NAME"));
    const QCommandLineOption url(
        QStringLiteral("ledger"),
        QStringLiteral("The ledger holding the batch, as for 'pairwick-cli ledger'. Default: "
                       "$PAIRWICK_LEDGER, else sqlite:$XDG_DATA_HOME/pairwick/ledger.sqlite."),
        QStringLiteral("URL"));
    parser.addOption(help);
    parser.addOptions(printOptions.options());
    parser.addOptions(
        {out, batch, seq, sample, valuesFile, passed, since, reason, pending, stationName, url});

    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] label WHAT"),
                     QStringLiteral("label WHAT [options]"));
        print(stdout, (text + u'\n' + LabelExitStatusText).toUtf8());
        return ExitStatus::Success;
    }
    const QStringList positional = parser.positionalArguments().mid(1);
    const QString what = positional.value(0);
    if (positional.size() != 1 || (what != u"preview" && what != u"print"))
        return usage(QStringLiteral("label takes preview or print"));
    QList<qint64> numbers;
    for (const QString &given : parser.values(seq)) {
        for (const QString &word : given.split(u',')) {
            bool numbered = false;
            numbers.append(word.trimmed().toLongLong(&numbered));
            if (!numbered || numbers.last() < 1)
                return usage(QStringLiteral("--seq takes a unit's number, not %1").arg(word));
        }
    }

    if (what == u"preview") {
        if (!parser.isSet(printOptions.options().constFirst()) || !parser.isSet(out))
            return usage(QStringLiteral("label preview needs --label and --out"));
        const bool ofUnit = parser.isSet(batch) || parser.isSet(seq);
        if (int(ofUnit) + int(parser.isSet(sample)) + int(parser.isSet(valuesFile)) != 1)
            return usage(QStringLiteral(
                "label preview takes either --batch and --seq, --values or --sample"));
        if (ofUnit && (!parser.isSet(batch) || numbers.size() != 1))
            return usage(QStringLiteral("--batch and one --seq go together"));
        return preview(
            parser.value(printOptions.options().constFirst()), parser.value(out), parser.value(url),
            ofUnit ? std::optional(std::pair(parser.value(batch), numbers.first())) : std::nullopt,
            parser.value(valuesFile));
    }

    const auto request = printOptions.read(parser);
    if (const auto *problem = std::get_if<QString>(&request))
        return usage(*problem);
    const auto &print = std::get<std::optional<printing::PrintRequest>>(request);
    if (!print)
        return usage(QStringLiteral("label print needs --label and --printer"));
    LabelPrintCall call{
        *print,
        parser.value(url),
        parser.value(batch),
        numbers,
        {},
        parser.value(reason),
        parser.isSet(pending),
        parser.isSet(stationName) ? parser.value(stationName) : QSysInfo::machineHostName()};
    if (call.pending) {
        if (parser.isSet(batch) || parser.isSet(seq) || parser.isSet(passed) ||
            parser.isSet(since) || parser.isSet(reason))
            return usage(
                QStringLiteral("label print --pending takes no --batch, --seq, --passed, "
                               "--since or --reason: it prints what waits"));
        return runLabelPrint(call);
    }
    if (!parser.isSet(batch) || numbers.isEmpty() == !parser.isSet(passed))
        return usage(
            QStringLiteral("label print takes --batch with --seq N... or --passed, or "
                           "--pending"));
    if (parser.isSet(since) && !parser.isSet(passed))
        return usage(QStringLiteral("--since goes with --passed"));
    if (call.reason.trimmed().isEmpty())
        return usage(
            QStringLiteral("label print needs --reason: every reprint is recorded with "
                           "why it was made"));
    if (parser.isSet(since)) {
        call.since = timeArgument(parser.value(since));
        if (!call.since.isValid())
            return usage(QStringLiteral("--since takes a time in ISO 8601, not %1")
                             .arg(parser.value(since)));
    }
    return runLabelPrint(call);
}

}  // namespace pairwick::cli
