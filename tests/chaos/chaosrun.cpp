// SPDX-License-Identifier: GPL-3.0-or-later
#include "chaosrun.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>

#include "link/trafficlog.h"
#include "logtail.h"
#include "processgauge.h"
#include "provision/parallelrun.h"
#include "settings/adaptersettings.h"

namespace pairwick::chaos {

using settings::Key;

namespace {

// The simulator's factory state, as its log names fields and values.
std::map<QString, QString> factoryState() {
    return {
        {"name", "PairwickSim"}, {"baud", "9600"},   {"parity", "N"}, {"stop", "1"},
        {"role", "0"},           {"messages", "EN"}, {"pin", "1234"}, {"bind", "0000:00:000000"}};
}

// A setting as the simulator logs it.
QString simulatorValue(Key key, const QString &value) {
    if (key == Key::Role)
        return value == settings::Master ? QStringLiteral("1") : QStringLiteral("0");
    if (key == Key::Messages)
        return value == settings::On ? QStringLiteral("EN") : QStringLiteral("DI");
    return value;
}

class ChaosRun {
public:
    ChaosRun(const RunOptions &options, const QString &folder)
        : m_options(options),
          m_random(options.seed),
          m_simulatorLog(folder + QStringLiteral("/simulator.log")),
          m_trafficLog(folder + QStringLiteral("/traffic.log")) {
        QString error;
        m_traffic.open(folder + QStringLiteral("/traffic.log"), &error);
        for (int port = 1; port <= options.adapters; ++port)
            m_state[QStringLiteral("COM%1").arg(port)] = factoryState();
    }

    int run() {
        const int rounds = (m_options.operations + m_options.adapters - 1) / m_options.adapters;
        const int warmUp = std::max(1, rounds / 10);
        ProcessGauge warm;
        for (int round = 0; round < rounds; ++round) {
            if (round == warmUp)
                warm = ProcessGauge::now();
            runRound(round);
        }
        const ProcessGauge end = ProcessGauge::now();
        printTable(warm, end);
        bool memoryHeld = end.residentKiB - warm.residentKiB < 1024;
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer's quarantine keeps freed memory on purpose.
        memoryHeld = true;
#endif
        if (!memoryHeld)
            violation(rounds, QString(),
                      QStringLiteral("resident memory grew by %1 KiB")
                          .arg(end.residentKiB - warm.residentKiB));
        if (end.descriptors != warm.descriptors)
            violation(rounds, QString(),
                      QStringLiteral("descriptors went from %1 to %2")
                          .arg(warm.descriptors)
                          .arg(end.descriptors));
        return m_violations == 0 ? 0 : 1;
    }

private:
    provision::PortJob randomJob(const QString &port) {
        provision::PortJob job;
        job.port = port;
        const quint32 pick = m_random.bounded(100u);
        job.operation = pick < 45   ? provision::Operation::Read
                        : pick < 90 ? provision::Operation::Write
                                    : provision::Operation::Reset;
        if (job.operation == provision::Operation::Write) {
            auto choose = [&](const QStringList &values) {
                return values.at(qsizetype(m_random.bounded(quint32(values.size()))));
            };
            if (m_random.bounded(2u))
                job.desired.set(Key::Name, QStringLiteral("Chaos-%1").arg(m_random.bounded(1000u)));
            if (m_random.bounded(2u))
                job.desired.set(Key::Baud, choose(settings::allowedValues(Key::Baud)));
            if (m_random.bounded(2u))
                job.desired.set(Key::Parity, choose(settings::allowedValues(Key::Parity)));
            if (m_random.bounded(2u))
                job.desired.set(Key::Messages, choose(settings::allowedValues(Key::Messages)));
            if (m_random.bounded(2u))
                job.desired.set(Key::Pin, QString::number(m_random.bounded(10000u)));
            if (m_random.bounded(3u) == 0) {
                job.desired.set(Key::Role, choose(settings::allowedValues(Key::Role)));
                if (job.desired.value(Key::Role) == settings::Master && m_random.bounded(2u))
                    job.desired.set(Key::Bind,
                                    QStringLiteral("0011:22:%1")
                                        .arg(m_random.bounded(1000000u), 6, 10, QLatin1Char('0')));
            }
            if (job.desired.isEmpty())
                job.desired.set(Key::Stop, choose(settings::allowedValues(Key::Stop)));
        }
        return job;
    }

    void runRound(int round) {
        QList<provision::PortJob> jobs;
        for (int port = 1; port <= m_options.adapters; ++port)
            jobs.append(randomJob(QStringLiteral("COM%1").arg(port)));
        provision::ParallelRun parallel(jobs, &m_traffic);
        QObject::connect(&parallel, &provision::ParallelRun::finished, &parallel,
                         &QCoreApplication::quit);
        parallel.start();
        QCoreApplication::exec();
        // The simulator logs a line as it takes it in, before it answers; give the last note of a
        // vanishing adapter a moment to reach the file.
        QThread::msleep(30);
        takeSimulatorLog();
        const std::map<QString, QStringList> sent = takeTraffic();
        for (std::size_t index = 0; index < parallel.results().size(); ++index)
            check(round, jobs[qsizetype(index)], parallel.results()[index], sent);
        m_operations += int(jobs.size());
    }

    void takeSimulatorLog() {
        static const QRegularExpression line(
            QStringLiteral("^\\S+ (?:(COM\\d+) )?(<-|state|chaos) (.*)$"));
        for (const QString &text : m_simulatorLog.newLines()) {
            const QRegularExpressionMatch match = line.match(text);
            if (!match.hasMatch())
                continue;
            const QString port = match.hasCaptured(1) ? match.captured(1) : QStringLiteral("COM1");
            const QString what = match.captured(2);
            const QString rest = match.captured(3);
            if (what == u"<-") {
                m_received[port].append(rest);
            } else if (what == u"state") {
                const qsizetype equals = rest.indexOf(u'=');
                m_state[port][rest.left(equals)] = rest.mid(equals + 1);
            } else {
                ++m_faults[rest.section(u' ', 0, 0)];
            }
        }
    }

    std::map<QString, QStringList> takeTraffic() {
        std::map<QString, QStringList> sent;
        for (const QString &text : m_trafficLog.newLines()) {
            const QStringList parts = text.split(u' ');
            if (parts.size() >= 4 && parts[2] == u"->")
                sent[parts[1]].append(text.section(u' ', 3).chopped(4));  // less the \r\n
        }
        return sent;
    }

    void check(int round, const provision::PortJob &job, const provision::PortResult &result,
               const std::map<QString, QStringList> &sent) {
        if (!result.ok && result.failedStep.isEmpty() && !result.openFailed)
            violation(round, job.port,
                      QStringLiteral("ended without a result: %1").arg(result.error));
        const QStringList wentOut = sent.count(job.port) ? sent.at(job.port) : QStringList();
        const QStringList cameIn = m_received[job.port];
        m_received[job.port].clear();
        if (wentOut != cameIn) {
            violation(
                round, job.port,
                QStringLiteral("sent [%1] but the adapter received [%2]")
                    .arg(wentOut.join(QStringLiteral(", ")), cameIn.join(QStringLiteral(", "))));
        }
        if (result.ok && job.operation == provision::Operation::Write) {
            for (Key key : job.desired.keys()) {
                const QString expected = simulatorValue(key, job.desired.value(key));
                const QString held = m_state[job.port][settings::keyName(key)];
                if (held != expected)
                    violation(round, job.port,
                              QStringLiteral("verified %1=%2, the adapter holds %3")
                                  .arg(settings::keyName(key), expected, held));
            }
        }
        ++m_outcomes[result.ok           ? QStringLiteral("ok")
                     : result.openFailed ? QStringLiteral("not opened")
                                         : QStringLiteral("failed")];
    }

    void violation(int round, const QString &port, const QString &what) {
        ++m_violations;
        std::fprintf(stderr,
                     "VIOLATION in round %d%s: %s\n  replay: chaos_headless --simulator %s "
                     "--seed %u --operations %d --adapters %d --chaos-rate %g\n",
                     round, port.isEmpty() ? "" : qPrintable(QStringLiteral(" on ") + port),
                     qPrintable(what), qPrintable(m_options.simulator), m_options.seed,
                     m_options.operations, m_options.adapters, m_options.rate);
    }

    void printTable(const ProcessGauge &warm, const ProcessGauge &end) const {
        std::printf("\nChaos run: seed %u, %d adapters, fault rate %g\n\n", m_options.seed,
                    m_options.adapters, m_options.rate);
        std::printf("%-44s %d\n", "operations run", m_operations);
        for (const auto &[outcome, count] : m_outcomes)
            std::printf("%-44s %d\n", qPrintable(QStringLiteral("  ended ") + outcome), count);
        for (const auto &[fault, count] : m_faults)
            std::printf("%-44s %d\n", qPrintable(QStringLiteral("faults injected: ") + fault),
                        count);
        std::printf("%-44s %d\n", "invariant violations", m_violations);
        printGauges(warm, end);
    }

    RunOptions m_options;
    QRandomGenerator m_random;
    link::TrafficLog m_traffic;
    LogTail m_simulatorLog;
    LogTail m_trafficLog;
    std::map<QString, QStringList> m_received;
    std::map<QString, std::map<QString, QString>> m_state;
    std::map<QString, int> m_faults;
    std::map<QString, int> m_outcomes;
    int m_operations = 0;
    int m_violations = 0;
};

}  // namespace

int runChaos(const RunOptions &options, const QString &folder) {
    return ChaosRun(options, folder).run();
}

}  // namespace pairwick::chaos
