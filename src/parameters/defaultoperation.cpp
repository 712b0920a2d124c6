// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/defaultoperation.h"

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "parameters/notconnected.h"
#include "parameters/parameterfields.h"
#include "parameters/parameterreader.h"
#include "protocol/commands.h"

namespace pairwick::parameters {

namespace {

// The adapter needs a moment after the reset before it answers queries again.
constexpr int SettleSeconds = 3;

}  // namespace

DefaultOperation::DefaultOperation(ParameterFields &fields, ParameterReader &reader,
                                   link::Exchange &exchange, feedback::Feedback &feedback)
    : m_fields(fields), m_reader(reader), m_exchange(exchange), m_feedback(feedback) {}

void DefaultOperation::restoreDefaults() {
    if (!m_exchange.portOpen()) {
        warnNotConnected(m_feedback);
        return;
    }
    if (!m_feedback.boxes().confirm(tr("本操作将把蓝牙模块的参数恢复成出厂默认设置，继续吗？"))) {
        m_feedback.setStatus(tr("准备"));
        return;
    }
    runOperation(m_exchange, m_feedback, [this](OperationRun &run) { resetAndReread(run); });
}

void DefaultOperation::resetAndReread(OperationRun &run) {
    m_feedback.setStatus(tr("正在恢复出厂默认设置......"));
    run.beginStep({tr("恢复出厂默认设置时失败，是否继续？"), tr("恢复出厂默认设置时失败！")});
    run.requireAcknowledged(run.exchange(protocol::DefaultCommand));
    m_feedback.setStatus(tr("蓝牙模块参数已恢复成出厂默认设置，并将重新读取蓝牙模块的参数......"));
    m_fields.ClearParameterFields();
    for (int second = 0; second < SettleSeconds; ++second)
        run.pause();
    const RunEnd readEnd = m_reader.ReadAdapterParameters();
    if (readEnd == RunEnd::Cancelled)
        throw link::RunCancelled();
    // A device that left during the read keeps the read's failure text: it restored nothing
    // the user can see. Only continue mode passes over it, as over any other fault.
    if (readEnd == RunEnd::PortFault && !run.continueMode())
        return;
    m_feedback.setStatus(tr("蓝牙模块参数已恢复成出厂默认设置！"));
}

}  // namespace pairwick::parameters
