// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/labelcommand.h"

#include <QCommandLineParser>

#include "cli/clirequest.h"
#include "cli/output.h"
#include "labels/labeltemplate.h"
#include "ledger/ledger.h"

namespace pairwick::cli {

namespace {

const QString Description = QStringLiteral(
    "Writes a label as it would print, for its designer to check.\n"
    "  preview  fills the template with a unit's values from the ledger (--batch and --seq,\n"
    "           a unit that passed) or with made-up ones of the longest lengths (--sample)\n"
    "Templates: FILE.zpl for a label printer (previewed as .zpl), FILE.svg for any other\n"
    "(previewed as .pdf or .png). Fields: {name} {pin} {address} {address:plain} {seq}\n"
    "{seq:N} {batch} {station} {slot} {date}; {{ and }} are braces. In an SVG, the element\n"
    "of id \"qr\" (QR code) or \"barcode\" (Code 128) is a box that the code of its data-value\n"
    "fills.");

const QString LabelExitStatusText = QStringLiteral(
    "Exit status:\n"
    "  0    written\n"
    "  1    the unit is not in the batch or has not passed\n"
    "  2    usage error; a template refused (unreadable, not UTF-8, over 1 MiB, not one\n"
    "       label, an unknown field, a code without a box or too small for its text);\n"
    "       the preview could not be written\n"
    "  4    the ledger cannot be opened\n");

constexpr int NothingToPrint = 1;

int refuse(int status, const QString &message, const QString &hint = QString()) {
    print(stderr, QStringLiteral("pairwick-cli: %1\n%2").arg(message, hint).toUtf8());
    return status;
}

int usage(const QString &message) {
    return refuse(ExitStatus::Usage, message, QStringLiteral("Try 'pairwick-cli label --help'.\n"));
}

// The values of a unit that passed, as the ledger recorded them, or the exit status.
std::variant<labels::LabelValues, int> recordedValues(const QString &url, const QString &batch,
                                                      qint64 seq) {
    QString error;
    std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(url), &error);
    if (!location)
        return refuse(ExitStatus::LedgerNotOpened, error);
    location->fallbackApplicationName = QStringLiteral("pairwick-cli");
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
    return labels::LabelValues{found->name,  found->pin,     found->address, found->seq,
                               found->batch, found->station, found->slot,    QDate::currentDate()};
}

}  // namespace

int runLabelCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    parser.addPositionalArgument(QStringLiteral("label"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("preview"), QStringLiteral("What to do."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption label(QStringLiteral("label"),
                                   QStringLiteral("The template: FILE.zpl or FILE.svg."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption out(
        QStringLiteral("out"),
        QStringLiteral("Where to write the label: FILE.zpl for a ZPL template, FILE.pdf or "
                       "FILE.png for an SVG one."),
        QStringLiteral("FILE"));
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("The unit's batch, with --seq."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption seq(QStringLiteral("seq"),
                                 QStringLiteral("The unit's number in its batch."),
                                 QStringLiteral("N"));
    const QCommandLineOption sample(
        QStringLiteral("sample"),
        QStringLiteral("Made-up values of the longest lengths instead of a unit's."));
    const QCommandLineOption url(
        QStringLiteral("ledger"),
        QStringLiteral("The ledger holding the batch, as for 'pairwick-cli ledger'. Default: "
                       "$PAIRWICK_LEDGER, else sqlite:$XDG_DATA_HOME/pairwick/ledger.sqlite."),
        QStringLiteral("URL"));
    parser.addOptions({help, label, out, batch, seq, sample, url});

    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] label preview"),
                     QStringLiteral("label preview [options]"));
        print(stdout, (text + u'\n' + LabelExitStatusText).toUtf8());
        return ExitStatus::Success;
    }
    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional != QStringList{QStringLiteral("preview")})
        return usage(QStringLiteral("label takes preview"));
    if (!parser.isSet(label) || !parser.isSet(out))
        return usage(QStringLiteral("label preview needs --label and --out"));
    const bool ofUnit = parser.isSet(batch) || parser.isSet(seq);
    if (ofUnit == parser.isSet(sample))
        return usage(QStringLiteral("label preview takes either --batch and --seq or --sample"));
    if (ofUnit && !(parser.isSet(batch) && parser.isSet(seq)))
        return usage(QStringLiteral("--batch and --seq go together"));
    bool numbered = false;
    const qint64 number = parser.value(seq).toLongLong(&numbered);
    if (ofUnit && (!numbered || number < 1))
        return usage(QStringLiteral("--seq takes a unit's number, not %1").arg(parser.value(seq)));

    const auto loaded = labels::LabelTemplate::load(parser.value(label));
    if (const auto *problem = std::get_if<QString>(&loaded))
        return refuse(ExitStatus::Usage, *problem);
    const labels::LabelTemplate &labelTemplate = std::get<labels::LabelTemplate>(loaded);

    labels::LabelValues values = labels::sampleValues();
    if (ofUnit) {
        const auto recorded = recordedValues(parser.value(url), parser.value(batch), number);
        if (const int *status = std::get_if<int>(&recorded))
            return *status;
        values = std::get<labels::LabelValues>(recorded);
    }
    if (const QString problem = labelTemplate.writePreview(values, parser.value(out));
        !problem.isEmpty())
        return refuse(ExitStatus::Usage, problem);
    return ExitStatus::Success;
}

}  // namespace pairwick::cli
