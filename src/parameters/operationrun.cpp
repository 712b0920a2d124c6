// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/operationrun.h"

#include <QCoreApplication>

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "link/replytests.h"
#include "settings/commandplan.h"

namespace pairwick::parameters {

namespace {

// No at a failure prompt.
class StoppedByUser {};

}  // namespace

StepTexts stepTexts(StepVerb verb, const QString &label) {
    constexpr char Context[] = "pairwick::parameters::OperationRun";
    if (verb == StepVerb::Read) {
        return {QCoreApplication::translate(Context, "读取 [%1] 时失败，是否继续？").arg(label),
                QCoreApplication::translate(Context, "读取 [%1] 时失败！").arg(label)};
    }
    return {QCoreApplication::translate(Context, "保存 [%1] 时失败，是否继续？").arg(label),
            QCoreApplication::translate(Context, "保存 [%1] 时失败！").arg(label)};
}

QString stepLabel(const char *label) {
    return QCoreApplication::translate(settings::LabelContext, label);
}

OperationRun::OperationRun(link::Exchange &exchange, feedback::Feedback &feedback)
    : m_exchange(exchange), m_feedback(feedback) {}

void OperationRun::beginStep(StepTexts texts) {
    m_step = std::move(texts);
}

QString OperationRun::exchange(const QString &command) {
    return m_exchange.ExchangeCommand(command, this);
}

void OperationRun::discardInput() {
    m_exchange.DiscardInput(this);
}

void OperationRun::pause() {
    m_exchange.WaitOneSecond();
}

void OperationRun::askToContinue() {
    if (!m_feedback.boxes().askContinue(m_step.prompt))
        throw StoppedByUser();
    m_continueMode = true;
}

void OperationRun::requireAcknowledged(const QString &reply) {
    if (!link::ReplyEndsWithOk(reply))
        askToContinue();
}

bool OperationRun::requireCut(const std::optional<QString> &value) {
    if (value)
        return true;
    if (!m_continueMode)
        askToContinue();
    return false;
}

void OperationRun::onPortFault(const link::PortError &fault) {
    if (!m_continueMode)
        throw fault;
}

RunEnd runOperation(link::Exchange &exchange, feedback::Feedback &feedback,
                    const std::function<void(OperationRun &)> &body) {
    link::Exchange::RunScope scope(exchange);
    OperationRun run(exchange, feedback);
    try {
        body(run);
        return RunEnd::Completed;
    } catch (const StoppedByUser &) {
        feedback.endProgress(run.step().failure);
        return RunEnd::StoppedByUser;
    } catch (const link::PortError &fault) {
        feedback.endProgress(run.step().failure);
        exchange.markLossReported();
        feedback.boxes().warning(fault.message());
        return RunEnd::PortFault;
    } catch (const link::RunCancelled &) {
        feedback.setProgress(0);
        feedback.hideProgress();
        return RunEnd::Cancelled;
    }
}

}  // namespace pairwick::parameters
