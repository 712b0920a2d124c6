// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/labelprint.h"

#include <QEventLoop>
#include <QLockFile>
#include <QSysInfo>

#include "cli/clirequest.h"
#include "cli/commandarguments.h"
#include "cli/output.h"
#include "printing/labelprinter.h"
#include "printing/reprint.h"
#include "printing/templatemaker.h"
#include "station/resultspool.h"

namespace pairwick::cli {

namespace {

constexpr int NotPassed = 1;
constexpr int PrinterAway = 3;

void tellPrinted(const QString &batch, qint64 seq) {
    print(
        stdout,
        QStringLiteral("printed the label of unit %1 of batch %2\n").arg(seq).arg(batch).toUtf8());
}

// Says why a reprint stopped, with the status it ends with, or nothing when all were printed.
int reprintStatus(const LabelPrintCall &call, const printing::ReprintOutcome &outcome) {
    using Kind = printing::ReprintOutcome::Kind;
    const auto printedOf = [&](const QString &reason) {
        return QStringLiteral("%1; %2 of %3 labels were printed")
            .arg(reason)
            .arg(outcome.printed)
            .arg(outcome.asked);
    };
    switch (outcome.kind) {
        case Kind::Printed:
            break;
        case Kind::NonePassed:
            return refuse(NotPassed, QStringLiteral("no unit of batch %1 passed%2")
                                         .arg(call.batch, call.since.isValid()
                                                              ? QStringLiteral(" since ") +
                                                                    call.since.toString(Qt::ISODate)
                                                              : QString()));
        case Kind::NoSuchUnit:
            return refuse(NotPassed, QStringLiteral("batch %1 has no unit %2; nothing was printed")
                                         .arg(call.batch)
                                         .arg(outcome.seq));
        case Kind::NotPassed:
            return refuse(NotPassed,
                          QStringLiteral("unit %1 of batch %2 has not passed (it is %3); nothing "
                                         "was printed")
                              .arg(outcome.seq)
                              .arg(call.batch, outcome.detail));
        case Kind::BadLabel:
            return refuse(ExitStatus::Usage,
                          QStringLiteral("unit %1: %2").arg(outcome.seq).arg(outcome.detail));
        case Kind::Away:
            return refuse(PrinterAway, printedOf(outcome.detail));
        case Kind::Misconfigured:
            return refuse(ExitStatus::Usage, printedOf(outcome.detail));
    }
    return ExitStatus::Success;
}

int reprint(const LabelPrintCall &call, const printing::LabelMaker &maker,
            const ledger::LedgerLocation &location) {
    try {
        ledger::Ledger opened(location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly);
        return reprintStatus(
            call, printing::reprintLabels(opened,
                                          {call.batch, call.seqs, call.since, call.reason,
                                           call.station, call.print.destination, call.print.copies},
                                          maker, &tellPrinted));
    } catch (const ledger::LedgerError &failure) {
        return refuse(ExitStatus::LedgerNotOpened, failure.message());
    }
}

// The labels a station of this name left waiting, through the same queue it prints from. Never
// beside the station itself: both would take the same labels.
int printPending(const LabelPrintCall &call, const printing::LabelMaker &maker,
                 const ledger::LedgerLocation &location) {
    const QString spool = station::spoolPathFor(call.station);
    QLockFile running(spool + QStringLiteral(".lock"));
    if (!running.tryLock(0))
        return refuse(ExitStatus::Usage,
                      QStringLiteral("the station %1 is running on this machine and prints its "
                                     "labels itself")
                          .arg(call.station));
    printing::LabelPrinter printer(
        {call.print.destination, maker, call.print.copies, location, call.station},
        printing::labelQueueFolderFor(spool));
    QString error;
    if (!printer.start(&error))
        return refuse(ExitStatus::Usage, error);
    QString problem;
    QEventLoop loop;
    QObject::connect(&printer, &printing::LabelPrinter::waitingChanged, &loop, [&](int waiting) {
        if (waiting == 0)
            loop.quit();
    });
    QObject::connect(&printer, &printing::LabelPrinter::labelSent, &loop, &tellPrinted);
    for (const auto signal :
         {&printing::LabelPrinter::printerAway, &printing::LabelPrinter::failed})
        QObject::connect(&printer, signal, &loop, [&](const QString &reason) {
            problem = reason;
            loop.quit();
        });
    if (printer.waiting() > 0)
        loop.exec();
    // The labels sent, and any a kill left uncertain, are recorded as the thread ends.
    printer.stop();
    QEventLoop ending;
    QObject::connect(&printer, &printing::LabelPrinter::finished, &ending, &QEventLoop::quit);
    ending.exec();
    if (printer.waiting() > 0)
        return refuse(PrinterAway, QStringLiteral("%1; %2 labels still wait in %3")
                                       .arg(problem)
                                       .arg(printer.waiting())
                                       .arg(printer.queueFolder()));
    return ExitStatus::Success;
}

}  // namespace

int refuse(int status, const QString &message, const QString &hint) {
    print(stderr, QStringLiteral("pairwick-cli: %1\n%2").arg(message, hint).toUtf8());
    return status;
}

int runLabelPrint(const LabelPrintCall &call) {
    const auto made = printing::templateMaker(call.print.labelFile);
    if (const auto *problem = std::get_if<QString>(&made))
        return refuse(ExitStatus::Usage, *problem);
    const printing::LabelMaker &maker = std::get<printing::LabelMaker>(made);
    if (const QString problem = printing::checkDestination(call.print.destination);
        !problem.isEmpty())
        return refuse(ExitStatus::Usage, problem);
    QString error;
    const std::optional<ledger::LedgerLocation> location =
        commandLineLedger(call.ledgerUrl, &error);
    if (!location)
        return refuse(ExitStatus::LedgerNotOpened, error);
    return call.pending ? printPending(call, maker, *location) : reprint(call, maker, *location);
}

}  // namespace pairwick::cli
