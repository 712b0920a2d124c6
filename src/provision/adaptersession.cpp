// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/adaptersession.h"

#include <QCoreApplication>

#include "link/logline.h"
#include "link/replytests.h"
#include "protocol/commands.h"
#include "provision/attemptcodes.h"
#include "provision/fastexchange.h"
#include "settings/commandplan.h"
#include "settings/replyreading.h"

namespace pairwick::provision {

using settings::AdapterSettings;
using settings::Key;

namespace {

// The adapter needs this long after a reset before it answers queries again, as in the window.
constexpr int SettleMs = 3000;
constexpr qsizetype QuotedLimit = 120;

QString readStepCode(const settings::ReadStep &step) {
    return step.kind == settings::ReadKind::Uart ? codes::UartReadStep : codes::readStep(step.key);
}

QString readStepName(const settings::ReadStep &step) {
    return step.kind == settings::ReadKind::Uart
               ? QCoreApplication::translate("pairwick::provision", "读取波特率、校验位、停止位")
               : QCoreApplication::translate("pairwick::provision", "读取 %1")
                     .arg(settings::keyName(step.key));
}

}  // namespace

QString quotedReply(const QString &reply) {
    const QByteArray escaped = link::escapedBytes(reply.toUtf8());
    const QString text = QString::fromUtf8(escaped.left(QuotedLimit));
    return QStringLiteral("\"%1%2\"")
        .arg(text, escaped.size() > QuotedLimit ? QStringLiteral("...") : QString());
}

QList<Key> keysToWrite(const AdapterSettings &current, const AdapterSettings &desired) {
    QList<Key> keys;
    for (const settings::SetCommand &command : settings::setCommands()) {
        if (desired.has(command.key) &&
            !(current.has(command.key) && current.value(command.key) == desired.value(command.key)))
            keys.append(command.key);
    }
    return keys;
}

QString roleAfterWrite(const AdapterSettings &current, const AdapterSettings &desired) {
    return desired.has(Key::Role) ? desired.value(Key::Role) : current.value(Key::Role);
}

QString StepFailure::detail() const {
    return codes::errorText(m_errorCode, m_errorDetail);
}

AdapterSession::AdapterSession(FastExchange &exchange, Progress progress)
    : m_exchange(exchange), m_progress(std::move(progress)) {}

namespace {

// The reply's text when it is complete and ends with OK; a StepFailure otherwise.
QString okReply(const QString &step, const QString &code, const Reply &reply, int timeoutMs) {
    if (!reply.complete) {
        if (reply.text.isEmpty())
            throw StepFailure(step, code, codes::NoReply, QString::number(timeoutMs));
        throw StepFailure(step, code, codes::IncompleteReply, quotedReply(reply.text));
    }
    if (!link::ReplyEndsWithOk(reply.text))
        throw StepFailure(step, code, codes::ErrorReply, quotedReply(reply.text));
    return reply.text;
}

}  // namespace

void AdapterSession::begin(const QString &step, const QString &code) {
    m_stepCode = code;
    m_progress(step);
}

QString AdapterSession::acknowledged(const QString &step, const QString &code,
                                     const QString &command) {
    begin(step, code);
    return okReply(step, code, m_exchange.exchange(command), m_exchange.pace().timeoutMs);
}

void AdapterSession::sendSetting(Key key, const QString &step, const QString &command) {
    begin(step, codes::writeStep(key));
    const qint64 before = m_exchange.linesSent();
    Reply reply;
    try {
        reply = m_exchange.exchange(command);
    } catch (...) {
        if (m_exchange.linesSent() != before)
            m_sent.append(key);
        throw;
    }
    if (!reply.complete)
        m_sent.append(key);
    okReply(step, m_stepCode, reply, m_exchange.pace().timeoutMs);
    m_written.append(key);
}

void AdapterSession::probe() {
    const QString step = codes::stepText(codes::ProbeStep);
    begin(step, codes::ProbeStep);
    const Reply reply = m_exchange.exchange(protocol::ProbeCommand);
    if (!link::ProbeReplyOk(reply.text)) {
        if (reply.text.isEmpty())
            throw StepFailure(step, codes::ProbeStep, codes::NoAdapter);
        throw StepFailure(step, codes::ProbeStep, codes::ErrorReply, quotedReply(reply.text));
    }
}

AdapterSettings AdapterSession::readAll() {
    m_complete = false;
    for (const settings::ReadStep &step : settings::readSteps()) {
        if (step.key == Key::Bind && m_read.value(Key::Role) != settings::Master) {
            // A slave keeps no bound address, whatever an earlier read in the master role found.
            m_read.remove(Key::Bind);
            continue;
        }
        const QString name = readStepName(step);
        const QString reply = acknowledged(name, readStepCode(step), step.query);
        AdapterSettings values;
        const QStringList problems = settings::readReply(step, reply, values);
        m_read.merge(values);
        if (m_writing)
            m_readBack.merge(values);
        if (!problems.isEmpty())
            throw StepFailure(name, m_stepCode, codes::UnreadableReply,
                              problems.join(QStringLiteral("; ")) +
                                  QCoreApplication::translate("pairwick::provision", "，见回复 ") +
                                  quotedReply(reply));
    }
    m_complete = true;
    return m_read;
}

AdapterSettings AdapterSession::adoptRead(const AdapterSettings &found) {
    m_read = found;
    m_complete = true;
    return m_read;
}

WriteOutcome AdapterSession::write(const AdapterSettings &desired) {
    return writeOver(readAll(), desired);
}

WriteOutcome AdapterSession::writeOver(const AdapterSettings &current,
                                       const AdapterSettings &desired) {
    if (desired.has(Key::Bind) && roleAfterWrite(current, desired) != settings::Master) {
        throw StepFailure(QCoreApplication::translate("pairwick::provision", "写入 bind"),
                          codes::writeStep(Key::Bind), codes::BindNeedsMaster);
    }
    WriteOutcome outcome;
    m_written.clear();
    m_sent.clear();
    m_readBack = AdapterSettings();
    m_writing = false;
    const QList<Key> changes = keysToWrite(current, desired);
    for (const settings::SetCommand &command : settings::setCommands()) {
        if (!desired.has(command.key))
            continue;
        const QString value = desired.value(command.key);
        if (!changes.contains(command.key)) {
            outcome.unchanged.append(command.key);
            continue;
        }
        // Once the command is on its way the old value may be gone, even without an answer.
        m_read.remove(command.key);
        m_complete = false;
        m_writing = true;
        sendSetting(command.key,
                    QCoreApplication::translate("pairwick::provision", "写入 %1=%2")
                        .arg(settings::keyName(command.key), value),
                    command.prefix + settings::argumentFor(command.key, value));
        outcome.written.append(command.key);
    }
    if (outcome.written.isEmpty()) {
        outcome.settings = current;
        return outcome;
    }
    outcome.settings = readAll();
    for (Key key : outcome.written) {
        if (outcome.settings.value(key) != desired.value(key)) {
            throw StepFailure(codes::stepText(codes::verifyStep(key)), codes::verifyStep(key),
                              codes::ReadBackDiffers,
                              QStringLiteral("%1 -> %2")
                                  .arg(quotedReply(desired.value(key)),
                                       quotedReply(outcome.settings.value(key))));
        }
    }
    return outcome;
}

AdapterSettings AdapterSession::reset() {
    m_read = AdapterSettings();
    m_complete = false;
    m_writing = false;
    acknowledged(codes::stepText(codes::ResetStep), codes::ResetStep, protocol::DefaultCommand);
    m_progress(QCoreApplication::translate("pairwick::provision", "等待适配器就绪"));
    m_exchange.pause(SettleMs);
    return readAll();
}

}  // namespace pairwick::provision
