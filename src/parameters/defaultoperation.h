// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

#include "parameters/operationrun.h"

namespace pairwick::parameters {

class ParameterFields;
class ParameterReader;

// Default (Command4): the factory reset, then a fresh read of what the adapter now holds.
class DefaultOperation {
    Q_DECLARE_TR_FUNCTIONS(DefaultOperation)

public:
    DefaultOperation(ParameterFields &fields, ParameterReader &reader, link::Exchange &exchange,
                     feedback::Feedback &feedback);

    void restoreDefaults();

private:
    void resetAndReread(OperationRun &run);

    ParameterFields &m_fields;
    ParameterReader &m_reader;
    link::Exchange &m_exchange;
    feedback::Feedback &m_feedback;
};

}  // namespace pairwick::parameters
