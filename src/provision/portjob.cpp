// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/portjob.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include "link/commport.h"
#include "link/porterror.h"
#include "link/portmap.h"
#include "provision/adaptersession.h"

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

// The settings are the session's, taken whether the operation ends or fails.
void runOperation(const PortJob &job, AdapterSession &session, PortResult &result) {
    session.probe();
    switch (job.operation) {
        case Operation::Read:
            session.readAll();
            break;
        case Operation::Write: {
            const WriteOutcome outcome = session.write(job.desired);
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
                      const std::function<void(const QString &step)> &progress) {
    PortResult result;
    result.port = job.port;
    result.device = deviceForPort(job.port);
    QElapsedTimer clock;
    clock.start();
    link::CommPort port;
    port.setTrafficLog(log);
    QString step = QStringLiteral("open");
    FastExchange exchange(port, job.pace, stop);
    AdapterSession session(exchange, [&](const QString &current) {
        step = current;
        progress(current);
    });
    try {
        progress(step);
        openPort(port, job.port);
        runOperation(job, session, result);
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
