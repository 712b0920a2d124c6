// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/parameterreader.h"

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "parameters/notconnected.h"
#include "parameters/parameterfields.h"
#include "protocol/commands.h"
#include "protocol/replycuts.h"

namespace pairwick::parameters {

namespace {

const QString ReadVerb = QStringLiteral("读取");
const QString RunningText = QStringLiteral("正在读取蓝牙参数......");
const QString FinishedText = QStringLiteral("参数读取结束！");

}  // namespace

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
    m_feedback.setStatus(RunningText);
    m_feedback.showProgress();
    run.beginStep(stepTexts(ReadVerb, QStringLiteral("设备名称")));
    run.discardInput();

    readText(run, 10, protocol::DeviceNameQuery, QStringLiteral("设备名称"),
             protocol::DeviceNameCut, &ParameterFields::setDeviceName);
    readText(run, 20, protocol::VersionQuery, QStringLiteral("固件版本号"), protocol::VersionCut,
             &ParameterFields::setVersion);
    readUart(run);
    readRole(run);
    readMessages(run);
    readText(run, 80, protocol::PinQuery, QStringLiteral("PIN码"), protocol::PinCut,
             &ParameterFields::setPin);
    readText(run, 90, protocol::AddressQuery, QStringLiteral("本地蓝牙地址"), protocol::AddressCut,
             &ParameterFields::setLocalAddress);
    readBoundAddress(run);
    m_feedback.endProgress(FinishedText);
}

QString ParameterReader::queryStep(OperationRun &run, int bar, const QString &query,
                                   const QString &label) {
    m_feedback.setProgress(bar);
    run.beginStep(stepTexts(ReadVerb, label));
    const QString reply = run.exchange(query);
    run.requireAcknowledged(reply);
    return reply;
}

void ParameterReader::readText(OperationRun &run, int bar, const QString &query,
                               const QString &label, protocol::TextCut cut,
                               void (ParameterFields::*apply)(const QString &)) {
    const QString reply = queryStep(run, bar, query, label);
    const std::optional<QString> value = protocol::cutText(reply, cut);
    (m_fields.*apply)(run.requireCut(value) ? *value : reply);
}

void ParameterReader::readUart(OperationRun &run) {
    const QString reply = queryStep(run, 30, protocol::UartQuery, QStringLiteral("UART参数"));
    const protocol::UartPieces pieces = protocol::cutUart(reply);
    const QString baudRate = run.requireCut(pieces.baudRate) ? *pieces.baudRate : QString();
    if (!m_fields.selectBaudRate(baudRate))
        m_feedback.setStatus(QStringLiteral("UART波特率错误！"));
    m_feedback.setProgress(40);
    if (!m_fields.selectParity(pieces.parity))
        m_feedback.setStatus(QStringLiteral("UART校验位错误！"));
    m_feedback.setProgress(50);
    if (!m_fields.selectStopBits(pieces.stopBits))
        m_feedback.setStatus(QStringLiteral("UART停止位错误！"));
}

void ParameterReader::readRole(OperationRun &run) {
    const QString reply = queryStep(run, 60, protocol::RoleQuery, QStringLiteral("设备的主从角色"));
    if (!m_fields.selectRole(protocol::cutRole(reply)))
        m_feedback.setStatus(QStringLiteral("主从角色错误！"));
}

void ParameterReader::readMessages(OperationRun &run) {
    const QString reply =
        queryStep(run, 70, protocol::MessageEnableQuery, QStringLiteral("串口提示信息"));
    if (!m_fields.selectMessages(protocol::cutMessageState(reply)))
        m_feedback.setStatus(QStringLiteral("串口提示信息错误！"));
}

void ParameterReader::readBoundAddress(OperationRun &run) {
    m_feedback.setProgress(100);
    if (!m_fields.masterSelected()) {
        // The pause keeps the pace of a read the same in both roles.
        run.pause();
        m_feedback.setProgress(0);
        m_feedback.hideProgress();
        m_fields.lockBoundAddress();
        return;
    }
    run.beginStep(stepTexts(ReadVerb, QStringLiteral("绑定从端地址")));
    const QString reply = run.exchange(protocol::BindAddressQuery);
    // The bar goes before the reply is judged, so it is gone while this step's question shows.
    m_feedback.setProgress(0);
    m_feedback.hideProgress();
    run.requireAcknowledged(reply);
    const std::optional<QString> value = protocol::cutText(reply, protocol::BindAddressCut);
    m_fields.showBoundAddress(run.requireCut(value) ? *value : reply);
}

}  // namespace pairwick::parameters
