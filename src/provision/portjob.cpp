// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/portjob.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include "link/commport.h"
#include "link/porterror.h"
#include "link/portmap.h"
#include "provision/adaptersession.h"
#include "settings/commandplan.h"

namespace pairwick::provision {

int comPortNumber(const QString &port) {
    static const QRegularExpression pattern(QStringLiteral("^COM([1-9][0-9]{0,3})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(port);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString deviceForPort(const QString &port) {
    const int number = comPortNumber(port);
    return number > 0 ? link::devicePathForPort(number) : port;
}

void openPort(link::CommPort &commPort, const QString &port) {
    const int number = comPortNumber(port);
    if (number > 0)
        commPort.open(number);
    else
        commPort.openDevice(port);
}

namespace {

// A full read, the bound address included, for an adapter whose role is not known yet.
const int ReadSteps = int(settings::readSteps().size());

// Only an adapter in the master role has its bound address read.
int readStepsInRole(const QString &role) {
    return role == settings::Master ? ReadSteps : ReadSteps - 1;
}

// The set commands that differ, and the read back that follows only a write.
int writeSteps(const settings::AdapterSettings &current, const settings::AdapterSettings &desired) {
    const int writes = int(keysToWrite(current, desired).size());
    return writes + (writes > 0 ? readStepsInRole(roleAfterWrite(current, desired)) : 0);
}

// Every step from opening on, as planned before the adapter is heard: a write that reads first
// counts every key given, as if each differed.
int stepsPlanned(const PortJob &job) {
    switch (job.operation) {
        case Operation::Read:
            return 2 + ReadSteps;  // opening, probing, the read
        case Operation::Write:
            if (job.found)
                return 1 + writeSteps(*job.found, job.desired);  // opening, the write
            return 2 + ReadSteps + int(keysToWrite({}, job.desired).size()) + ReadSteps;
        case Operation::Reset:
            break;
    }
    return 4 + ReadSteps;  // opening, probing, the reset, the wait while it settles, the read
}

// Counts the steps as they begin: each one begun ends the one before.
class StepTally {
public:
    StepTally(const PortJob &job, std::function<void(const StepProgress &)> report)
        : m_total(stepsPlanned(job)), m_report(std::move(report)) {}

    void begin(const QString &step) {
        if (m_begun)
            ++m_done;
        m_begun = true;
        m_report({step, m_done, m_total});
    }
    // From the step under way on, this many more remain.
    void replan(int stepsAhead) { m_total = m_done + 1 + stepsAhead; }

private:
    int m_done = 0;
    int m_total;
    bool m_begun = false;
    std::function<void(const StepProgress &)> m_report;
};

// The settings are the session's, taken whether the operation ends or fails.
void runOperation(const PortJob &job, AdapterSession &session, StepTally &tally,
                  PortResult &result) {
    // A write handed what a read found needs no probe: that read heard the adapter a moment ago.
    if (!job.found)
        session.probe();
    switch (job.operation) {
        case Operation::Read:
            session.readAll();
            break;
        case Operation::Write: {
            const settings::AdapterSettings current =
                job.found ? session.adoptRead(*job.found) : session.readAll();
            tally.replan(writeSteps(current, job.desired));
            const WriteOutcome outcome = session.writeOver(current, job.desired);
            result.written = outcome.written;
            result.unchanged = outcome.unchanged;
            break;
        }
        case Operation::Reset:
            session.reset();
            break;
    }
}

}  // namespace

PortResult runPortJob(const PortJob &job, const std::atomic_bool &stop, link::TrafficLog *log,
                      const std::function<void(const StepProgress &progress)> &progress) {
    PortResult result;
    result.port = job.port;
    result.device = deviceForPort(job.port);
    QElapsedTimer clock;
    clock.start();
    link::CommPort port;
    port.setTrafficLog(log);
    QString step = QStringLiteral("open");
    StepTally tally(job, progress);
    FastExchange exchange(port, job.pace, stop);
    AdapterSession session(exchange, [&](const QString &current) {
        step = current;
        tally.begin(current);
    });
    try {
        tally.begin(step);
        openPort(port, job.port);
        runOperation(job, session, tally, result);
        result.ok = true;
    } catch (const StepFailure &failure) {
        result.failedStep = failure.step();
        result.error = failure.detail();
    } catch (const link::PortError &fault) {
        result.openFailed = !port.isOpen() && step == QStringLiteral("open");
        if (!result.openFailed)
            result.failedStep = step;
        result.error = fault.message();
    } catch (const link::RunCancelled &) {
        result.stopped = true;
        result.failedStep = step;
        result.error = QStringLiteral("stopped before this step");
    }
    port.close();
    result.settings = session.settingsRead();
    result.complete = session.readIsComplete();
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    return result;
}

}  // namespace pairwick::provision
