// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/serverattempts.h"

#include <QCoreApplication>
#include <array>

#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

// As the server function names its outcomes.
const std::array<std::pair<const char *, Reservation::Outcome>, 6> Outcomes{{
    {"reserved", Reservation::Outcome::Reserved},
    {"already passed", Reservation::Outcome::AlreadyPassed},
    {"busy", Reservation::Outcome::Busy},
    {"count reached", Reservation::Outcome::CountReached},
    {"full", Reservation::Outcome::Full},
    {"rejected", Reservation::Outcome::Rejected},
}};

Reservation::Outcome outcomeNamed(const QString &name, const QString &batch) {
    for (const auto &[text, outcome] : Outcomes) {
        if (name == QLatin1String(text))
            return outcome;
    }
    throw LedgerError(QCoreApplication::translate("pairwick::ledger", "没有批次 %1").arg(batch));
}

}  // namespace

ReservedUnit reserveOnServer(const QSqlDatabase &db, const AttemptStart &start, bool again,
                             qint64 countLimit) {
    SqlStatement call(db, QStringLiteral("SELECT * FROM pairwick_begin_attempt(:id, :batch, "
                                         ":address, :station, :slot, :device, :started, :stale, "
                                         ":found, :again, :count, :operator)"));
    call.bind(QStringLiteral(":id"), start.id)
        .bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":station"), start.station)
        .bind(QStringLiteral(":slot"), start.slot)
        .bind(QStringLiteral(":device"), start.device)
        .bind(QStringLiteral(":started"), storedTime(start.started))
        .bind(QStringLiteral(":stale"), staleBefore(start))
        .bind(QStringLiteral(":found"), storedSettings(start.found))
        .bind(QStringLiteral(":again"), qint64(again ? 1 : 0))
        .bind(QStringLiteral(":count"), countLimit)
        .bind(QStringLiteral(":operator"), start.operatorName)
        .exec()
        .next();
    ReservedUnit reserved;
    Reservation &reservation = reserved.reservation;
    reservation.outcome = outcomeNamed(call.text(0), start.batch);
    reservation.busyWith = call.text(6);
    if (reservation.outcome == Reservation::Outcome::Reserved ||
        reservation.outcome == Reservation::Outcome::AlreadyPassed ||
        reservation.outcome == Reservation::Outcome::Rejected) {
        reservation.unit = UnitRecord{start.batch, call.number(1), start.address,
                                      settingsFromStored(call.text(2)), call.text(3)};
        reserved.valuesPending = call.text(2).isEmpty();
        reservation.attempts = call.number(7);
    }
    if (reservation.outcome == Reservation::Outcome::AlreadyPassed)
        reservation.passed =
            PassRecord{reservation.unit.values.value(settings::Key::Name), reservation.unit.seq,
                       call.text(4), timeFromStored(call.text(5))};
    call.finish();
    return reserved;
}

void finishOnServer(const QSqlDatabase &db, const AttemptEnd &end) {
    SqlStatement call(
        db, QStringLiteral("SELECT pairwick_finish_attempt(:id, :ended, :result, "
                           ":step, :error, :detail, :readBack, :version, :written, :sent, "
                           ":unchanged)"));
    bindStoredEnd(call, end).exec();
    call.finish();
}

}  // namespace pairwick::ledger
