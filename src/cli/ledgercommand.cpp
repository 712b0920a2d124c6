// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ledgercommand.h"

#include <QCommandLineParser>
#include <cstdio>

#include "cli/clirequest.h"
#include "cli/commandarguments.h"
#include "cli/listingstream.h"
#include "cli/portrun.h"
#include "cli/rolescommand.h"
#include "cli/texttable.h"
#include "cli/yieldcommand.h"
#include "ledger/ledger.h"
#include "ledger/ledgerlisting.h"
#include "station/migrationprinter.h"

namespace pairwick::cli {

namespace {

const QString Description = QStringLiteral(
    "Lists what a ledger holds, checks it, or gives its roles.\n"
    "  batches  each batch: first and next number, units passed, failed, interrupted and\n"
    "           rejected,\n"
    "           stations, first and last activity\n"
    "  units    one row per unit: number (seq), name, pin, address, state, station and slot\n"
    "           of its latest attempt, attempts (every one, visits of a unit that had passed\n"
    "           already included), firmware version, first and latest time; printed as the\n"
    "           ledger gives them, so a listing of any size starts at once; --attempts: every\n"
    "           attempt, with its operator, its step and error as codes and the detail\n"
    "           beside them, and the reason in words; labels: how many labels were\n"
    "           recorded for the unit\n"
    "  labels   one row per label sent: batch, seq, when, printer, copies, reason (pass,\n"
    "           reprint: WHY, pending after outage), state (sent, or uncertain: a station\n"
    "           killed between sending it and recording it), station, template's SHA-256\n"
    "  check    counts every batch again from its attempts and prints each disagreement with\n"
    "           what the ledger keeps: a batch's counts, a unit's state and attempts, a number\n"
    "           handed out twice, a unit with two numbers, an attempt without its unit\n"
    "  roles    PostgreSQL: prints the SQL that makes the group roles pairwick_station and\n"
    "           pairwick_auditor and grants them what they need and no more (both read every\n"
    "           table; a station changes the ledger only through the schema's functions, and\n"
    "           only the attempts its own login began); --apply runs it as the ledger's\n"
    "           owner, in one transaction; running it again changes nothing. A login role\n"
    "           joins one: CREATE ROLE line1 LOGIN IN ROLE pairwick_station\n"
    "  report   the line's yield: units first tried, first-pass yield (fpy), units passed,\n"
    "           yield, retests, units rejected and the median seconds of a pass, for each\n"
    "           group of --by (and a total), then failed attempts by step and error, most\n"
    "           frequent first. A unit counts in the group and hour of its first attempt\n"
    "           that passed or failed; figures are kept by the hour, so --since starts at\n"
    "           its hour and --until ends with its hour (a date alone: with its day)\n"
    "A unit's state is passed once an attempt passed, rejected once it failed as often as\n"
    "its batch's --max-attempts allows, else its latest attempt's result (started, failed,\n"
    "interrupted), or reserved before any.");

const QString LedgerExitStatusText = QStringLiteral(
    "Exit status:\n"
    "  0    listed; check: nothing disagrees; report: printed (a warning on standard\n"
    "       error when the figures may be stale: run ledger check)\n"
    "  1    check: something disagrees; units: the listing could not all be written\n"
    "  2    usage error\n"
    "  4    the ledger cannot be opened: a malformed URL, a refused connection or login, a\n"
    "       schema newer than this pairwick knows, an older one that only its owner may bring\n"
    "       up to date, a file that does not exist or may not be written; roles --apply: the\n"
    "       login does not own the ledger\n");

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

int check(ledger::Ledger &opened) {
    const qint64 found = opened.check(
        [](const QString &disagreement) { print(stdout, (disagreement + u'\n').toUtf8()); });
    print(stdout, found == 0 ? QByteArrayLiteral("the ledger agrees with its records\n")
                             : QStringLiteral("%1 disagreements\n").arg(found).toUtf8());
    return found == 0 ? ExitStatus::Success : ExitStatus::LedgerDisagrees;
}

}  // namespace

int runLedgerCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    parser.addPositionalArgument(QStringLiteral("ledger"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("WHAT"),
                                 QStringLiteral("batches, units, labels, check, roles or report."));
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
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral("batches, report: print one JSON document; units, labels: one JSON "
                       "object a line."));
    const QCommandLineOption csv(
        QStringLiteral("csv"),
        QStringLiteral("units, labels, report: print CSV (UTF-8, CRLF, a header row; a cell that "
                       "a spreadsheet would take for a formula starts with ')."));
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("units, labels, report: only this batch's."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption state(
        QStringLiteral("state"),
        QStringLiteral("units: only units in STATE (passed, failed, interrupted, rejected, "
                       "already, started, reserved)."),
        QStringLiteral("STATE"));
    const QCommandLineOption attempts(QStringLiteral("attempts"),
                                      QStringLiteral("units: every attempt instead, one a row."));
    const QCommandLineOption since(
        QStringLiteral("since"),
        QStringLiteral("units, labels: only units, attempts and labels active since TIME (ISO "
                       "8601, such as 2026-12-08 or 2026-12-08T14:00Z; local time without a "
                       "zone); report: units first tried from TIME's hour on."),
        QStringLiteral("TIME"));
    const QCommandLineOption until(
        QStringLiteral("until"),
        QStringLiteral("report: units first tried up to the end of TIME's hour (a date alone: "
                       "of its day), and what became of them by then."),
        QStringLiteral("TIME"));
    const QCommandLineOption by(
        QStringLiteral("by"),
        QStringLiteral("report: a group for each station, slot, operator, hour or day."),
        QStringLiteral("GROUP"));
    const QCommandLineOption apply(
        QStringLiteral("apply"),
        QStringLiteral("roles: run the SQL as the URL's login, the ledger's owner, instead of "
                       "printing it."));
    parser.addOptions({help, url, json, csv, batch, state, attempts, since, until, by, apply});

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
    if (positional.size() != 1 || (what != u"batches" && what != u"units" && what != u"labels" &&
                                   what != u"check" && what != u"roles" && what != u"report"))
        return usage(
            QStringLiteral("ledger takes one of batches, units, labels, check, roles, report"));
    if (what != u"roles" && parser.isSet(apply))
        return usage(QStringLiteral("--apply is for ledger roles"));
    const bool units = what == u"units";
    const bool labels = what == u"labels";
    const bool report = what == u"report";
    if (!units && !labels && !report &&
        (parser.isSet(csv) || parser.isSet(batch) || parser.isSet(since)))
        return usage(
            QStringLiteral("--csv, --batch and --since are for ledger units, labels and report"));
    if (!units && (parser.isSet(attempts) || parser.isSet(state)))
        return usage(QStringLiteral("--state and --attempts are for ledger units"));
    if (!report && (parser.isSet(until) || parser.isSet(by)))
        return usage(QStringLiteral("--until and --by are for ledger report"));
    if (parser.isSet(state) && parser.isSet(attempts))
        return usage(QStringLiteral("--state picks units, not attempts"));
    if ((what == u"check" || what == u"roles") && parser.isSet(json))
        return usage(QStringLiteral("--json is for ledger batches, units and labels"));
    if (parser.isSet(csv) && parser.isSet(json))
        return usage(QStringLiteral("--csv and --json exclude each other"));
    ledger::Selection selection;
    selection.batch = parser.value(batch);
    selection.state = parser.value(state);
    if (parser.isSet(state) && !ledger::resultFromName(selection.state) &&
        selection.state != u"reserved")
        return usage(QStringLiteral("--state takes passed, failed, interrupted, rejected, "
                                    "already, started or reserved, not %1")
                         .arg(selection.state));
    if (parser.isSet(since)) {
        selection.since = timeArgument(parser.value(since));
        if (!selection.since.isValid())
            return usage(QStringLiteral("--since takes a time in ISO 8601, not %1")
                             .arg(parser.value(since)));
    }
    std::optional<ledger::YieldQuery> yieldQuery;
    if (report) {
        const auto query = parseYieldQuery(parser.value(batch), parser.value(since),
                                           parser.value(until), parser.value(by));
        if (const auto *message = std::get_if<QString>(&query))
            return usage(*message);
        yieldQuery = std::get<ledger::YieldQuery>(query);
    }
    const ListingStream::Form form = parser.isSet(json)  ? ListingStream::Form::JsonLines
                                     : parser.isSet(csv) ? ListingStream::Form::Csv
                                                         : ListingStream::Form::Table;

    QString error;
    const std::optional<ledger::LedgerLocation> location =
        commandLineLedger(parser.value(url), &error);
    if (!location)
        return unavailable(error);
    if (what == u"roles") {
        if (location->kind != ledger::LedgerLocation::Kind::Postgres)
            return usage(QStringLiteral("roles are a PostgreSQL ledger's; who may change %1 is "
                                        "the file's permissions")
                             .arg(location->url()));
        return runLedgerRoles(*location, parser.isSet(apply));
    }
    try {
        ledger::Ledger opened(*location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly,
                              station::migrationPrinter(QStringLiteral("pairwick-cli")));
        if (what == u"check")
            return check(opened);
        if (report)
            return printYieldReport(opened, *yieldQuery, form);
        if (units || labels) {
            const bool ofAttempts = parser.isSet(attempts);
            ListingStream stream(stdout, form,
                                 labels       ? ledger::labelColumns()
                                 : ofAttempts ? ledger::attemptColumns()
                                              : ledger::unitColumns());
            if (labels)
                opened.labels(selection, [&](const ledger::LabelRecord &label) {
                    stream.row(ledger::labelCells(label));
                });
            else if (ofAttempts)
                opened.attempts(selection, [&](const ledger::AttemptRow &attempt) {
                    stream.row(ledger::attemptCells(attempt));
                });
            else
                opened.units(selection, [&](const ledger::UnitRow &unit) {
                    stream.row(ledger::unitCells(unit));
                });
            if (const QString failure = stream.finish(); !failure.isEmpty()) {
                print(stderr, QStringLiteral("pairwick-cli: the listing could not all be "
                                             "written: %1\n")
                                  .arg(failure)
                                  .toUtf8());
                return ExitStatus::ListingUnwritten;
            }
        } else {
            const ledger::LedgerListing listing = ledger::listBatches(opened.batches());
            print(stdout, parser.isSet(json) ? listing.json(location->url())
                                             : listingTable(listing).toUtf8());
        }
    } catch (const ledger::LedgerError &failure) {
        return unavailable(failure.message());
    }
    return ExitStatus::Success;
}

}  // namespace pairwick::cli
