// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/saveoperation.h"

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "parameters/notconnected.h"
#include "parameters/parameterfields.h"

namespace pairwick::parameters {

SaveOperation::SaveOperation(ParameterFields &fields, link::Exchange &exchange,
                             feedback::Feedback &feedback)
    : m_fields(fields), m_exchange(exchange), m_feedback(feedback) {}

void SaveOperation::save() {
    if (!m_exchange.portOpen()) {
        warnNotConnected(m_feedback);
        return;
    }
    if (!m_feedback.boxes().confirm(tr("确认保存设置吗？"))) {
        m_feedback.hideProgress();
        m_feedback.setStatus(tr("准备"));
        return;
    }
    runOperation(m_exchange, m_feedback, [this](OperationRun &run) { sendCommands(run); });
}

void SaveOperation::sendCommands(OperationRun &run) {
    m_feedback.setStatus(tr("正在保存设置......"));
    m_feedback.showProgress();
    for (const settings::SetCommand &command : settings::setCommands()) {
        m_feedback.setProgress(command.bar);
        if (command.key != settings::Key::Bind) {
            sendSet(run, command);
        } else if (m_fields.masterSelected()) {
            sendSet(run, command);
            m_feedback.setProgress(90);
        } else {
            m_feedback.setProgress(90);
            // Stands in for the bound address so a save keeps its pace in both roles.
            run.pause();
        }
    }
    m_feedback.setProgress(100);
    run.pause();
    m_feedback.endProgress(tr("参数保存结束！"));
}

void SaveOperation::sendSet(OperationRun &run, const settings::SetCommand &command) {
    run.beginStep(stepTexts(StepVerb::Save, stepLabel(command.label)));
    run.requireAcknowledged(run.exchange(command.prefix + m_fields.argument(command.key)));
}

}  // namespace pairwick::parameters
