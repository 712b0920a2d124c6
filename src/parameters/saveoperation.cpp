// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/saveoperation.h"

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "parameters/notconnected.h"
#include "parameters/parameterfields.h"
#include "protocol/commands.h"

namespace pairwick::parameters {

namespace {

const QString SaveVerb = QStringLiteral("保存");

}  // namespace

SaveOperation::SaveOperation(ParameterFields &fields, link::Exchange &exchange,
                             feedback::Feedback &feedback)
    : m_fields(fields), m_exchange(exchange), m_feedback(feedback) {}

void SaveOperation::save() {
    if (!m_exchange.portOpen()) {
        warnNotConnected(m_feedback);
        return;
    }
    if (!m_feedback.boxes().confirm(QStringLiteral("确认保存设置吗？"))) {
        m_feedback.hideProgress();
        m_feedback.setStatus(QStringLiteral("准备"));
        return;
    }
    runOperation(m_exchange, m_feedback, [this](OperationRun &run) { sendCommands(run); });
}

void SaveOperation::sendCommands(OperationRun &run) {
    struct SetCommand {
        int bar;
        const QString &prefix;
        const char16_t *label;
        QString (ParameterFields::*argument)() const;
    };
    // The bound address follows only in the master role.
    const SetCommand commands[]{
        {10, protocol::DeviceNameSet, u"设备名称", &ParameterFields::deviceNameArgument},
        {20, protocol::BaudRateSet, u"波特率", &ParameterFields::baudRateArgument},
        {30, protocol::ParitySet, u"校验位", &ParameterFields::parityArgument},
        {40, protocol::StopBitsSet, u"停止位", &ParameterFields::stopBitsArgument},
        {50, protocol::RoleSet, u"设备的主从角色", &ParameterFields::roleArgument},
        {60, protocol::MessageEnableSet, u"串口提示信息", &ParameterFields::messagesArgument},
        {70, protocol::PinSet, u"PIN码", &ParameterFields::pinArgument},
    };
    m_feedback.setStatus(QStringLiteral("正在保存设置......"));
    m_feedback.showProgress();
    for (const SetCommand &command : commands) {
        m_feedback.setProgress(command.bar);
        sendSet(run, command.prefix, QString::fromUtf16(command.label), command.argument);
    }
    m_feedback.setProgress(80);
    if (m_fields.masterSelected()) {
        sendSet(run, protocol::BindAddressSet, QStringLiteral("绑定从端地址"),
                &ParameterFields::boundAddressArgument);
        m_feedback.setProgress(90);
    } else {
        m_feedback.setProgress(90);
        // Stands in for the bound address so a save keeps its pace in both roles.
        run.pause();
    }
    m_feedback.setProgress(100);
    run.pause();
    m_feedback.endProgress(QStringLiteral("参数保存结束！"));
}

void SaveOperation::sendSet(OperationRun &run, const QString &prefix, const QString &label,
                            QString (ParameterFields::*argument)() const) {
    run.beginStep(stepTexts(SaveVerb, label));
    run.requireAcknowledged(run.exchange(prefix + (m_fields.*argument)()));
}

}  // namespace pairwick::parameters
