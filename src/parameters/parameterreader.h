// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "parameters/operationrun.h"
#include "protocol/replycuts.h"

namespace pairwick::parameters {

class ParameterFields;

// Reads all eight parameters into the fields, one query a second.
class ParameterReader {
public:
    ParameterReader(ParameterFields &fields, link::Exchange &exchange,
                    feedback::Feedback &feedback);

    // Query (Command2).
    void query();
    // Callers have cleared the fields and know the port is open.
    RunEnd ReadAdapterParameters();

private:
    void readSteps(OperationRun &run);
    QString queryStep(OperationRun &run, int bar, const QString &query, const QString &label);
    void readText(OperationRun &run, int bar, const QString &query, const QString &label,
                  protocol::TextCut cut, void (ParameterFields::*apply)(const QString &));
    void readUart(OperationRun &run);
    void readRole(OperationRun &run);
    void readMessages(OperationRun &run);
    void readBoundAddress(OperationRun &run);

    ParameterFields &m_fields;
    link::Exchange &m_exchange;
    feedback::Feedback &m_feedback;
};

}  // namespace pairwick::parameters
