// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/unitrun.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QThread>
#include <QUuid>

#include "link/commport.h"
#include "link/porterror.h"
#include "provision/attemptcodes.h"
#include "station/ledgerpool.h"
#include "station/onpasscommand.h"
#include "station/resultspool.h"

namespace pairwick::station {

using ledger::AttemptResult;
using ledger::Reservation;
using settings::Key;
namespace codes = provision::codes;

namespace {

constexpr int LedgerRetryMs = 2000;

QString alreadyText(const ledger::PassRecord &pass) {
    return QCoreApplication::translate("pairwick::station", "已配置为 %1（#%2，%3，%4）")
        .arg(pass.name)
        .arg(pass.seq)
        .arg(pass.station, pass.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString rejectedText(qint64 seq, qint64 attempts) {
    return QCoreApplication::translate("pairwick::station",
                                       "请放到一边：#%1 已尝试 %2 次，不再写入")
        .arg(seq)
        .arg(attempts);
}

// The port's own words on one line; a device gone is told apart from other faults.
QString portErrorCode(const link::PortError &fault) {
    return fault.message() ==
                   link::PortError::lost(fault.description(), fault.devicePath()).message()
               ? codes::PortGone
               : codes::PortFault;
}

}  // namespace

UnitRun::UnitRun(const StationContext &context, link::CommPort &port, const UnitPlace &place,
                 Report report)
    : m_context(context),
      m_tell(std::move(report)),
      m_exchange(port, context.config.pace, context.stop),
      m_session(m_exchange, [this](const QString &step) { progress(step); }),
      m_step(codes::stepText(codes::ReadStep)),
      m_stepCode(codes::ReadStep) {
    m_report.slot = place.slot;
    m_report.port = place.port;
    m_report.device = place.device;
    m_clock.start();
}

std::optional<UnitReport> UnitRun::run() {
    try {
        provisionUnit();
    } catch (const provision::StepFailure &failure) {
        end(AttemptResult::Failed, failure.stepCode(), failure.errorCode(), failure.errorDetail());
    } catch (const link::PortError &fault) {
        end(AttemptResult::Failed, m_stepCode, portErrorCode(fault),
            QString(fault.description()).replace(u'\n', u' '));
    } catch (const link::RunCancelled &) {
        if (m_countReached)
            return std::nullopt;
        // A write whose command is out may have taken effect: it was not stopped before.
        end(AttemptResult::Interrupted, m_stepCode,
            m_session.keysSent().isEmpty() ? codes::Stopped : codes::StoppedAwaitingReply);
    }
    m_report.seconds = double(m_clock.nsecsElapsed()) / 1e9;
    return m_report;
}

void UnitRun::progress(const QString &step) {
    ++m_done;
    m_stepCode = m_session.stepCode();
    show(step);
}

void UnitRun::show(const QString &step) {
    m_step = step;
    m_tell({SlotState::Working, m_step, m_report.seq, m_done, std::max(m_done, m_all), false});
}

void UnitRun::provisionUnit() {
    const settings::AdapterSettings found = m_session.readAll();
    m_report.address = found.value(Key::Address);
    m_report.settings = found;
    m_all = 1 + ReadSteps + 1;
    const Reservation reservation = reserve(found);
    m_report.seq = reservation.unit.seq;
    m_report.values = reservation.unit.values;
    switch (reservation.outcome) {
        case Reservation::Outcome::CountReached:
            m_countReached = true;
            throw link::RunCancelled();
        case Reservation::Outcome::Busy:
            m_report.result = AttemptResult::Failed;
            m_report.error =
                QCoreApplication::translate("pairwick::station", "另一个工位正在配置此地址（%1）")
                    .arg(reservation.busyWith);
            return;
        case Reservation::Outcome::AlreadyPassed:
            m_report.result = AttemptResult::Already;
            m_report.error = alreadyText(*reservation.passed);
            return;
        case Reservation::Outcome::Rejected:
            m_report.result = AttemptResult::Rejected;
            m_report.attempts = reservation.attempts;
            m_report.error = rejectedText(reservation.unit.seq, reservation.attempts);
            return;
        case Reservation::Outcome::Reserved:
        case Reservation::Outcome::Full:  // never returned by reserve()
            break;
    }
    if (!reservation.unit.valuesProblem.isEmpty())
        throw provision::StepFailure(codes::stepText(codes::ValuesStep), codes::ValuesStep,
                                     codes::ValuesProblem, reservation.unit.valuesProblem);
    m_all += int(reservation.unit.values.keys().size()) + ReadSteps;
    const provision::WriteOutcome outcome = m_session.writeOver(found, reservation.unit.values);
    m_report.settings = outcome.settings;
    m_report.written = outcome.written;
    m_report.unchanged = outcome.unchanged;
    m_readBack = outcome.settings;
    end(AttemptResult::Passed);
}

// Of a unit that failed or was stopped part-way: what the session knows, no more.
void UnitRun::takeWhatIsKnown() {
    m_report.settings = m_session.settingsRead();
    m_report.complete = m_session.readIsComplete();
    m_report.written = m_session.keysWritten();
    m_report.sent = m_session.keysSent();
    m_readBack = m_session.readBack();
}

// Until the ledger has reserved the unit's number: nothing is written before that.
Reservation UnitRun::reserve(const settings::AdapterSettings &found) {
    ++m_done;
    m_stepCode = codes::ReserveStep;
    show(codes::stepText(codes::ReserveStep));
    const StationConfig &config = m_context.config;
    m_start = {QString(),
               config.batch,
               m_report.address,
               config.station,
               m_report.slot,
               m_report.device,
               QDateTime::currentDateTimeUtc(),
               found,
               config.operatorName};
    const QString address = m_report.address;
    for (;;) {
        // A unit that gets no number because the batch is complete was never started.
        m_countReached = m_context.countReached.load();
        if (!m_context.keepGoing())
            throw link::RunCancelled();
        // A try that failed after its number was taken holds its id in the ledger already.
        m_start.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        try {
            const Reservation reservation = m_context.ledger.run([&](ledger::Ledger &ledger) {
                return ledger.beginAttempt(m_start, config.again, config.count, [&](qint64 seq) {
                    return unitValues(config.rules, seq, address);
                });
            });
            if (reservation.outcome != Reservation::Outcome::Full) {
                m_open = reservation.outcome == Reservation::Outcome::Reserved;
                return reservation;
            }
            // Should one of them fail, this unit gets its number after all.
            m_tell(
                {SlotState::Waiting,
                 QCoreApplication::translate("pairwick::station", "凑满本批次的模块正在别处进行"),
                 0, m_done, m_all, false});
        } catch (const ledger::LedgerError &error) {
            if (const auto *open = dynamic_cast<const ledger::AttemptLeftOpen *>(&error))
                giveUp(open->attemptId(), error.message());
            m_tell({SlotState::LedgerAway,
                    QCoreApplication::translate("pairwick::station", "台账无法访问，正在重试：%1")
                        .arg(error.message()),
                    0, m_done, m_all, false});
        }
        QThread::msleep(LedgerRetryMs);
    }
}

// An attempt that got its number but not its values: nothing was written to the unit, and
// its end, spooled, frees the address for any slot once the ledger is back.
void UnitRun::giveUp(const QString &attemptId, const QString &reason) {
    ledger::AttemptEnd given{};
    given.id = attemptId;
    given.ended = QDateTime::currentDateTimeUtc();
    given.result = AttemptResult::Interrupted;
    given.step = m_stepCode;
    given.error = codes::LedgerFault;
    given.detail = reason;
    QString ignored;
    // Should the spool fail too, this slot's next try closes the attempt as given up.
    m_context.spool.addEnd(given, &ignored);
}

void UnitRun::end(AttemptResult result, const QString &step, const QString &error,
                  const QString &detail) {
    m_report.result = result;
    m_report.step = step;
    m_report.errorCode = error;
    m_report.detail = detail;
    m_report.error = codes::failureText(step, error, detail);
    if (result != AttemptResult::Passed)
        takeWhatIsKnown();
    if (!m_open)
        return;
    m_open = false;
    const ledger::AttemptEnd attemptEnd{m_start.id,
                                        QDateTime::currentDateTimeUtc(),
                                        result,
                                        step,
                                        error,
                                        detail,
                                        m_readBack,
                                        m_report.settings.value(Key::Version),
                                        m_report.written,
                                        m_report.sent,
                                        m_report.unchanged};
    QString spoolError;
    if (!m_context.spool.addEnd(attemptEnd, &spoolError))
        m_report.onPassWarning =
            QCoreApplication::translate("pairwick::station", "暂存文件未写入：%1").arg(spoolError);
    store();
    if (result == AttemptResult::Passed && !m_context.config.onPass.isEmpty())
        runOnPass();
}

// What cannot be stored now waits in the spool, which the station stores from later.
void UnitRun::store() {
    // Shown only when the ledger keeps the slot waiting; a quick store passes unseen.
    m_tell({SlotState::LedgerAway, QCoreApplication::translate("pairwick::station", "正在存入结果"),
            m_report.seq, m_done, m_all, false, true});
    try {
        m_context.ledger.run([this](ledger::Ledger &ledger) { m_context.spool.flush(ledger); });
    } catch (const ledger::LedgerError &) {
        // The keeper stores it from the spool later.
    }
}

void UnitRun::runOnPass() {
    // Also ends the wait shown while the result was stored, which is over.
    m_stepCode = codes::OnPassStep;
    show(codes::stepText(codes::OnPassStep));
    const StationConfig &config = m_context.config;
    QProcessEnvironment facts;
    facts.insert(QStringLiteral("PAIRWICK_BATCH"), config.batch);
    facts.insert(QStringLiteral("PAIRWICK_SEQ"), QString::number(m_report.seq));
    facts.insert(QStringLiteral("PAIRWICK_NAME"), m_report.settings.value(Key::Name));
    facts.insert(QStringLiteral("PAIRWICK_PIN"), m_report.settings.value(Key::Pin));
    facts.insert(QStringLiteral("PAIRWICK_ADDRESS"), m_report.address);
    facts.insert(QStringLiteral("PAIRWICK_SLOT"), m_report.slot);
    facts.insert(QStringLiteral("PAIRWICK_STATION"), config.station);
    const OnPassOutcome outcome = station::runOnPass(config.onPass, facts);
    m_report.onPassWarning = outcome.warning;
    QString spoolError;
    if (m_context.spool.addOnPass(m_start.id, outcome.exitStatus, &spoolError))
        store();
}

}  // namespace pairwick::station
