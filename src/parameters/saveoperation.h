// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

#include "parameters/operationrun.h"
#include "settings/commandplan.h"

namespace pairwick::parameters {

class ParameterFields;

// Save (Command3): writes the fields as they are, one set command a second. Each field is read
// just before its own command, so edits made during the run reach the commands not yet sent.
class SaveOperation {
    Q_DECLARE_TR_FUNCTIONS(SaveOperation)

public:
    SaveOperation(ParameterFields &fields, link::Exchange &exchange, feedback::Feedback &feedback);

    void save();

private:
    void sendCommands(OperationRun &run);
    void sendSet(OperationRun &run, const settings::SetCommand &command);

    ParameterFields &m_fields;
    link::Exchange &m_exchange;
    feedback::Feedback &m_feedback;
};

}  // namespace pairwick::parameters
