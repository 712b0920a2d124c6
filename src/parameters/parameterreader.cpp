// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/parameterreader.h"

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "parameters/notconnected.h"
#include "parameters/parameterfields.h"
#include "protocol/replycuts.h"

namespace pairwick::parameters {

ParameterReader::ParameterReader(ParameterFields &fields, link::Exchange &exchange,
                                 feedback::Feedback &feedback)
    : m_fields(fields), m_exchange(exchange), m_feedback(feedback) {}

void ParameterReader::query() {
    if (!m_exchange.portOpen()) {
        warnNotConnected(m_feedback);
        return;
    }
    m_fields.ClearParameterFields();
    ReadAdapterParameters();
}

RunEnd ParameterReader::ReadAdapterParameters() {
    return runOperation(m_exchange, m_feedback, [this](OperationRun &run) { readSteps(run); });
}

void ParameterReader::readSteps(OperationRun &run) {
    m_feedback.setStatus(tr("正在读取蓝牙参数......"));
    m_feedback.showProgress();
    const auto &steps = settings::readSteps();
    run.beginStep(stepTexts(StepVerb::Read, stepLabel(steps.front().label)));
    run.discardInput();
    for (const settings::ReadStep &step : steps) {
        switch (step.kind) {
            case settings::ReadKind::Text:
                if (step.key == settings::Key::Bind)
                    readBoundAddress(run, step);
                else
                    readText(run, step);
                break;
            case settings::ReadKind::Uart:
                readUart(run, step);
                break;
            case settings::ReadKind::Role:
                readRole(run, step);
                break;
            case settings::ReadKind::Messages:
                readMessages(run, step);
                break;
        }
    }
    m_feedback.endProgress(tr("参数读取结束！"));
}

QString ParameterReader::queryStep(OperationRun &run, const settings::ReadStep &step) {
    m_feedback.setProgress(step.bar);
    run.beginStep(stepTexts(StepVerb::Read, stepLabel(step.label)));
    const QString reply = run.exchange(step.query);
    run.requireAcknowledged(reply);
    return reply;
}

void ParameterReader::readText(OperationRun &run, const settings::ReadStep &step) {
    const QString reply = queryStep(run, step);
    const std::optional<QString> value = protocol::cutText(reply, step.cut);
    m_fields.showText(step.key, run.requireCut(value) ? *value : reply);
}

void ParameterReader::readUart(OperationRun &run, const settings::ReadStep &step) {
    const QString reply = queryStep(run, step);
    const protocol::UartPieces pieces = protocol::cutUart(reply);
    const QString baudRate = run.requireCut(pieces.baudRate) ? *pieces.baudRate : QString();
    if (!m_fields.selectBaudRate(baudRate))
        m_feedback.setStatus(tr("UART波特率错误！"));
    m_feedback.setProgress(40);
    if (!m_fields.selectParity(pieces.parity))
        m_feedback.setStatus(tr("UART校验位错误！"));
    m_feedback.setProgress(50);
    if (!m_fields.selectStopBits(pieces.stopBits))
        m_feedback.setStatus(tr("UART停止位错误！"));
}

void ParameterReader::readRole(OperationRun &run, const settings::ReadStep &step) {
    if (!m_fields.selectRole(protocol::cutRole(queryStep(run, step))))
        m_feedback.setStatus(tr("主从角色错误！"));
}

void ParameterReader::readMessages(OperationRun &run, const settings::ReadStep &step) {
    if (!m_fields.selectMessages(protocol::cutMessageState(queryStep(run, step))))
        m_feedback.setStatus(tr("串口提示信息错误！"));
}

void ParameterReader::readBoundAddress(OperationRun &run, const settings::ReadStep &step) {
    m_feedback.setProgress(step.bar);
    if (!m_fields.masterSelected()) {
        // The pause keeps the pace of a read the same in both roles.
        run.pause();
        m_feedback.setProgress(0);
        m_feedback.hideProgress();
        m_fields.lockBoundAddress();
        return;
    }
    run.beginStep(stepTexts(StepVerb::Read, stepLabel(step.label)));
    const QString reply = run.exchange(step.query);
    // The bar goes before the reply is judged, so it is gone while this step's question shows.
    m_feedback.setProgress(0);
    m_feedback.hideProgress();
    run.requireAcknowledged(reply);
    const std::optional<QString> value = protocol::cutText(reply, step.cut);
    m_fields.showBoundAddress(run.requireCut(value) ? *value : reply);
}

}  // namespace pairwick::parameters
