// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/labelprint.h"

#include <QEventLoop>
#include <QLockFile>
#include <QSysInfo>
#include <QUuid>
#include <memory>

#include "cli/clirequest.h"
#include "cli/output.h"
#include "labels/labeltemplate.h"
#include "printing/labelprinter.h"
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

printing::LabelMaker makerOf(const QString &path,
                             std::shared_ptr<const labels::LabelTemplate> loaded) {
    const printing::DocumentKind kind =
        loaded->isZpl() ? printing::DocumentKind::Zpl : printing::DocumentKind::Pdf;
    return {kind, printing::templateHashOf(path),
            [loaded](const labels::LabelValues &values) { return loaded->document(values); }};
}

// The units asked for, all of them passed, or the status that refuses them before any is sent.
std::variant<QList<ledger::UnitRow>, int> unitsToPrint(ledger::Ledger &opened,
                                                       const LabelPrintCall &call) {
    QList<ledger::UnitRow> found;
    ledger::Selection selection;
    selection.batch = call.batch;
    if (call.seqs.isEmpty()) {
        selection.since = call.since;
        selection.state = QStringLiteral("passed");
        opened.units(selection, [&](const ledger::UnitRow &unit) { found.append(unit); });
        if (found.isEmpty())
            return refuse(NotPassed, QStringLiteral("no unit of batch %1 passed%2")
                                         .arg(call.batch, call.since.isValid()
                                                              ? QStringLiteral(" since ") +
                                                                    call.since.toString(Qt::ISODate)
                                                              : QString()));
        return found;
    }
    for (const qint64 seq : call.seqs) {
        selection.search = QString::number(seq);
        std::optional<ledger::UnitRow> unit;
        opened.units(selection, [&](const ledger::UnitRow &row) {
            if (row.seq == seq)
                unit = row;
        });
        if (!unit)
            return refuse(NotPassed, QStringLiteral("batch %1 has no unit %2; nothing was printed")
                                         .arg(call.batch)
                                         .arg(seq));
        if (unit->state != u"passed")
            return refuse(NotPassed,
                          QStringLiteral("unit %1 of batch %2 has not passed (it is %3); nothing "
                                         "was printed")
                              .arg(seq)
                              .arg(call.batch, unit->state));
        found.append(*unit);
    }
    return found;
}

int reprint(const LabelPrintCall &call, const printing::LabelMaker &maker,
            const ledger::LedgerLocation &location) {
    try {
        ledger::Ledger opened(location, QStringLiteral("pairwick-cli"),
                              ledger::Ledger::Opening::ExistingOnly);
        const auto units = unitsToPrint(opened, call);
        if (const int *status = std::get_if<int>(&units))
            return *status;
        const QList<ledger::UnitRow> &all = std::get<QList<ledger::UnitRow>>(units);
        for (qsizetype done = 0; done < all.size(); ++done) {
            const labels::LabelValues values = recordedLabelValues(all[done]);
            const auto made = maker.make(values);
            if (const auto *problem = std::get_if<QString>(&made))
                return refuse(ExitStatus::Usage,
                              QStringLiteral("unit %1: %2").arg(values.seq).arg(*problem));
            const printing::SendOutcome outcome = printing::sendLabel(
                call.print.destination, {std::get<QByteArray>(made), maker.kind, call.print.copies,
                                         values.batch, values.seq});
            if (outcome.kind != printing::SendOutcome::Kind::Sent)
                return refuse(outcome.kind == printing::SendOutcome::Kind::Away ? PrinterAway
                                                                                : ExitStatus::Usage,
                              QStringLiteral("%1; %2 of %3 labels were printed")
                                  .arg(outcome.reason)
                                  .arg(done)
                                  .arg(all.size()));
            opened.recordLabel({QUuid::createUuid().toString(QUuid::WithoutBraces), values.batch,
                                values.seq, maker.templateHash, call.print.destination.text,
                                QDateTime::currentDateTimeUtc(), call.print.copies,
                                QStringLiteral("reprint: ") + call.reason, QStringLiteral("sent"),
                                call.station});
            tellPrinted(values.batch, values.seq);
        }
    } catch (const ledger::LedgerError &failure) {
        return refuse(ExitStatus::LedgerNotOpened, failure.message());
    }
    return ExitStatus::Success;
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

labels::LabelValues recordedLabelValues(const ledger::UnitRow &unit) {
    return {unit.name,  unit.pin,     unit.address, unit.seq,
            unit.batch, unit.station, unit.slot,    QDate::currentDate()};
}

int refuse(int status, const QString &message, const QString &hint) {
    print(stderr, QStringLiteral("pairwick-cli: %1\n%2").arg(message, hint).toUtf8());
    return status;
}

int runLabelPrint(const LabelPrintCall &call) {
    const auto loaded = labels::LabelTemplate::load(call.print.labelFile);
    if (const auto *problem = std::get_if<QString>(&loaded))
        return refuse(ExitStatus::Usage, *problem);
    const printing::LabelMaker maker = makerOf(
        call.print.labelFile,
        std::make_shared<const labels::LabelTemplate>(std::get<labels::LabelTemplate>(loaded)));
    if (const QString problem = printing::checkDestination(call.print.destination);
        !problem.isEmpty())
        return refuse(ExitStatus::Usage, problem);
    QString error;
    std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(call.ledgerUrl), &error);
    if (!location)
        return refuse(ExitStatus::LedgerNotOpened, error);
    location->fallbackApplicationName = QStringLiteral("pairwick-cli");
    return call.pending ? printPending(call, maker, *location) : reprint(call, maker, *location);
}

}  // namespace pairwick::cli
