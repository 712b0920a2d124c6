// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "link/exchange.h"

namespace pairwick::feedback {
class Feedback;
}

namespace pairwick::parameters {

// What a step tells the user when it fails: the Yes/No question, and the status text after No.
struct StepTexts {
    QString prompt;
    QString failure;
};

enum class StepVerb { Read, Save };

// Builds the texts "<verb> [<label>] 时失败，是否继续？" and "<verb> [<label>] 时失败！".
StepTexts stepTexts(StepVerb verb, const QString &label);

// A label of the command plan, as the window shows it.
QString stepLabel(const char *label);

// One run of read, save or factory reset. Holds continue mode: off at the start, on after the
// first Yes; from then on a port fault is skipped and the run goes on with its next action.
class OperationRun : public link::FaultPolicy {
public:
    OperationRun(link::Exchange &exchange, feedback::Feedback &feedback);

    void beginStep(StepTexts texts);
    const StepTexts &step() const { return m_step; }
    bool continueMode() const { return m_continueMode; }

    QString exchange(const QString &command);
    void discardInput();
    void pause();

    // The step's question: Yes turns continue mode on and the run goes on; No ends the run.
    void askToContinue();
    void requireAcknowledged(const QString &reply);
    // A reply too short to hold its value is a failed step. False when the value is missing
    // and the run goes on in continue mode, where the caller's stand-in value applies.
    bool requireCut(const std::optional<QString> &value);

    void onPortFault(const link::PortError &fault) override;

    feedback::Feedback &feedback() { return m_feedback; }

private:
    link::Exchange &m_exchange;
    feedback::Feedback &m_feedback;
    StepTexts m_step;
    bool m_continueMode = false;
};

enum class RunEnd { Completed, StoppedByUser, PortFault, Cancelled };

// Runs an operation's body as one run on the port. Every ending leaves the bar hidden: No at a
// prompt and a port fault put the step's failure text on the status line (a fault also shows
// one warning with the platform's description); a cancelled run changes no text.
RunEnd runOperation(link::Exchange &exchange, feedback::Feedback &feedback,
                    const std::function<void(OperationRun &)> &body);

}  // namespace pairwick::parameters
