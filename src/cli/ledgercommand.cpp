// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ledgercommand.h"

#include <QCommandLineParser>
#include <cstdio>

#include "cli/clirequest.h"
#include "cli/texttable.h"
#include "ledger/ledger.h"
#include "ledger/ledgerlisting.h"

namespace pairwick::cli {

namespace {

const QString Description = QStringLiteral(
    "Lists what a ledger holds.\n"
    "  batches  each batch: first and next number, units passed, failed and interrupted,\n"
    "           stations, first and last activity\n"
    "  units    one row per unit: number (seq), name, pin, address, state, station and slot\n"
    "           of its latest attempt, attempts (every one, visits of a unit that had passed\n"
    "           already included), firmware version, first and latest time\n"
    "A unit's state is passed once an attempt passed, else its latest attempt's result\n"
    "(started, failed, interrupted), or reserved before any.");

const QString LedgerExitStatusText = QStringLiteral(
    "Exit status:\n"
    "  0    listed\n"
    "  2    usage error\n"
    "  4    the ledger cannot be opened: a malformed URL, a refused connection or login, a\n"
    "       schema newer than this pairwick knows, a file that does not exist or may not be\n"
    "       written\n");

void print(std::FILE *stream, const QByteArray &text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
    std::fflush(stream);
}

int usage(const QString &message) {
    print(stderr, QStringLiteral("pairwick-cli: %1\nTry 'pairwick-cli ledger --help'.\n")
                      .arg(message)
                      .toUtf8());
    return ExitStatus::Usage;
}

int unavailable(const QString &message) {
    print(stderr, QStringLiteral("pairwick-cli: %1\n").arg(message).toUtf8());
    return ExitStatus::LedgerNotOpened;
}

}  // namespace

int runLedgerCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    parser.addPositionalArgument(QStringLiteral("ledger"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("WHAT"), QStringLiteral("batches or units."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption url(
        QStringLiteral("ledger"),
        QStringLiteral("The ledger: sqlite:PATH, or postgresql://[user@][host][:port]/DATABASE "
                       "with ?host=FOLDER for a Unix socket, several hosts separated by commas, "
                       "and libpq's parameters (sslmode, target_session_attrs ...) as "
                       "?name=value. Default: $PAIRWICK_LEDGER, else "
                       "sqlite:$XDG_DATA_HOME/pairwick/ledger.sqlite. A password belongs in "
                       "~/.pgpass or $PGPASSFILE, never in the URL."),
        QStringLiteral("URL"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print one JSON document."));
    const QCommandLineOption csv(
        QStringLiteral("csv"),
        QStringLiteral("units: print CSV (UTF-8, CRLF, a header row; a cell that a spreadsheet "
                       "would take for a formula starts with ')."));
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("units: only this batch's."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption attempts(QStringLiteral("attempts"),
                                      QStringLiteral("units: every attempt instead, one a row."));
    parser.addOptions({help, url, json, csv, batch, attempts});

    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("[options] ledger WHAT"),
                     QStringLiteral("ledger WHAT [options]"));
        print(stdout, (text + u'\n' + LedgerExitStatusText).toUtf8());
        return ExitStatus::Success;
    }
    const QStringList positional = parser.positionalArguments().mid(1);
    const QString what = positional.value(0);
    if (positional.size() != 1 || (what != u"batches" && what != u"units"))
        return usage(QStringLiteral("ledger takes one of batches, units"));
    const bool units = what == u"units";
    if (!units && (parser.isSet(csv) || parser.isSet(batch) || parser.isSet(attempts)))
        return usage(QStringLiteral("--csv, --batch and --attempts are for ledger units"));
    if (parser.isSet(csv) && parser.isSet(json))
        return usage(QStringLiteral("--csv and --json exclude each other"));

    QString error;
    std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(parser.value(url)), &error);
    if (!location)
        return unavailable(error);
    location->fallbackApplicationName = QStringLiteral("pairwick-cli");
    try {
        ledger::Ledger opened(*location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly);
        const ledger::LedgerListing listing =
            !units                   ? ledger::listBatches(opened.batches())
            : parser.isSet(attempts) ? ledger::listAttempts(opened.attempts(parser.value(batch)))
                                     : ledger::listUnits(opened.units(parser.value(batch)));
        print(stdout, parser.isSet(json)  ? listing.json(location->url())
                      : parser.isSet(csv) ? listing.csv()
                                          : listingTable(listing).toUtf8());
    } catch (const ledger::LedgerError &failure) {
        return unavailable(failure.message());
    }
    return ExitStatus::Success;
}

}  // namespace pairwick::cli
