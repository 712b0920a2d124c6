// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

#include "parameters/operationrun.h"
#include "settings/commandplan.h"

namespace pairwick::parameters {

class ParameterFields;

// Reads all eight parameters into the fields, one query a second.
class ParameterReader {
    Q_DECLARE_TR_FUNCTIONS(ParameterReader)

public:
    ParameterReader(ParameterFields &fields, link::Exchange &exchange,
                    feedback::Feedback &feedback);

    // Query (Command2).
    void query();
    // Callers have cleared the fields and know the port is open.
    RunEnd ReadAdapterParameters();

private:
    void readSteps(OperationRun &run);
    QString queryStep(OperationRun &run, const settings::ReadStep &step);
    void readText(OperationRun &run, const settings::ReadStep &step);
    void readUart(OperationRun &run, const settings::ReadStep &step);
    void readRole(OperationRun &run, const settings::ReadStep &step);
    void readMessages(OperationRun &run, const settings::ReadStep &step);
    void readBoundAddress(OperationRun &run, const settings::ReadStep &step);

    ParameterFields &m_fields;
    link::Exchange &m_exchange;
    feedback::Feedback &m_feedback;
};

}  // namespace pairwick::parameters
