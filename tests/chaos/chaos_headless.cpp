// SPDX-License-Identifier: GPL-3.0-or-later
// Long randomized runs of pairwick-cli's engine against simulated adapters.
//
// Chaos: rounds of random operations (read, write+verify, reset), one per adapter at once, on
// adapters that misbehave at random (the simulator's chaos mode). After every round each operation
// is checked: it ended with a result; every line the adapter received was sent to that adapter, and
// every line sent reached it (nothing went to a lost or a wrong port); a verified write left the
// adapter's state as asked. Memory and descriptors are compared after warm-up and at the end.
//
// Soak: many plain reads of one well-behaved adapter, timed, with memory and descriptors.
//
// Prints one table; exits 1 on any invariant violation, naming the seed and step to replay.
#include <sys/prctl.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>

#include "link/trafficlog.h"
#include "patience.h"
#include "provision/parallelrun.h"
#include "settings/adaptersettings.h"

using namespace pairwick;
using settings::Key;

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

qsizetype openDescriptors() {
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs)
        .size();
}

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

// Reads a growing log file line by line from where the last call stopped.
class LogTail {
public:
    explicit LogTail(const QString &path) : m_file(path) {}
    QStringList newLines() {
        if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly))
            return {};
        m_pending += m_file.readAll();
        const qsizetype end = m_pending.lastIndexOf('\n');
        if (end < 0)
            return {};
        const QStringList lines = QString::fromUtf8(m_pending.left(end)).split(u'\n');
        m_pending.remove(0, end + 1);
        return lines;
    }

private:
    QFile m_file;
    QByteArray m_pending;
};

class Simulator {
public:
    bool start(const QString &program, const QString &folder, int adapters,
               const QStringList &extra) {
        m_process.setStandardOutputFile(folder + QStringLiteral("/simulator.log"));
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(program, QStringList{"--port", "COM1", "--adapters",
                                             QString::number(adapters), "--ports-dir", folder} +
                                     extra);
        LogTail tail(folder + QStringLiteral("/simulator.log"));
        int ready = 0;
        QElapsedTimer clock;
        clock.start();
        while (ready < adapters && clock.elapsed() < PatienceMs) {
            for (const QString &line : tail.newLines())
                ready += line.startsWith(QStringLiteral("ready "));
            m_process.waitForFinished(20);
        }
        return ready == adapters;
    }
    ~Simulator() {
        m_process.terminate();
        if (!m_process.waitForFinished(PatienceMs))
            m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

struct Options {
    QString simulator;
    quint32 seed = 1;
    int operations = 200;
    int adapters = 8;
    double rate = 0.1;
    int soak = 0;
};

class ChaosRun {
public:
    ChaosRun(const Options &options, const QString &folder)
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
        long rssStart = 0;
        qsizetype descriptorsStart = 0;
        for (int round = 0; round < rounds; ++round) {
            if (round == warmUp) {
                rssStart = residentKiB();
                descriptorsStart = openDescriptors();
            }
            runRound(round);
        }
        const long rssEnd = residentKiB();
        const qsizetype descriptorsEnd = openDescriptors();
        printTable(rssStart, rssEnd, descriptorsStart, descriptorsEnd);
        bool memoryHeld = rssEnd - rssStart < 1024;
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer's quarantine keeps freed memory on purpose.
        memoryHeld = true;
#endif
        if (!memoryHeld)
            violation(rounds, QString(),
                      QStringLiteral("resident memory grew by %1 KiB").arg(rssEnd - rssStart));
        if (descriptorsEnd != descriptorsStart)
            violation(rounds, QString(),
                      QStringLiteral("descriptors went from %1 to %2")
                          .arg(descriptorsStart)
                          .arg(descriptorsEnd));
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

    void printTable(long rssStart, long rssEnd, qsizetype descriptorsStart,
                    qsizetype descriptorsEnd) const {
        std::printf("\nChaos run: seed %u, %d adapters, fault rate %g\n\n", m_options.seed,
                    m_options.adapters, m_options.rate);
        std::printf("%-44s %d\n", "operations run", m_operations);
        for (const auto &[outcome, count] : m_outcomes)
            std::printf("%-44s %d\n", qPrintable(QStringLiteral("  ended ") + outcome), count);
        for (const auto &[fault, count] : m_faults)
            std::printf("%-44s %d\n", qPrintable(QStringLiteral("faults injected: ") + fault),
                        count);
        std::printf("%-44s %d\n", "invariant violations", m_violations);
        std::printf("%-44s %ld / %ld KiB\n", "resident memory after warm-up / at the end", rssStart,
                    rssEnd);
        std::printf("%-44s %lld / %lld\n", "open descriptors after warm-up / at the end",
                    qlonglong(descriptorsStart), qlonglong(descriptorsEnd));
    }

    Options m_options;
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

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

int soak(const Options &options) {
    const int window = std::min(1000, std::max(1, options.soak / 10));
    const int warmUp = std::min(100, options.soak / 10);
    std::atomic_bool stop{false};
    QList<double> seconds;
    long rssStart = 0;
    qsizetype descriptorsStart = 0;
    int failures = 0;
    for (int read = 0; read < options.soak; ++read) {
        if (read == warmUp) {
            rssStart = residentKiB();
            descriptorsStart = openDescriptors();
        }
        const provision::PortResult result =
            provision::runPortJob({QStringLiteral("COM1"), provision::Operation::Read, {}, {}},
                                  stop, nullptr, [](const provision::StepProgress &) {});
        failures += !result.ok;
        seconds.append(result.seconds);
    }
    const long rssEnd = residentKiB();
    const qsizetype descriptorsEnd = openDescriptors();
    const double first = median(seconds.mid(0, window));
    const double last = median(seconds.mid(seconds.size() - window));
    std::printf("\nSoak: %d reads of one adapter\n\n", options.soak);
    std::printf("%-44s %d\n", "failed reads", failures);
    std::printf("%-44s %ld / %ld KiB\n", "resident memory after warm-up / at the end", rssStart,
                rssEnd);
    std::printf("%-44s %lld / %lld\n", "open descriptors after warm-up / at the end",
                qlonglong(descriptorsStart), qlonglong(descriptorsEnd));
    std::printf("%-44s %.2f / %.2f ms (%+.1f %%)\n",
                qPrintable(QStringLiteral("median read, first / last %1").arg(window)), first * 1e3,
                last * 1e3, first > 0 ? (last - first) / first * 100 : 0.0);
    return failures == 0 && descriptorsEnd == descriptorsStart ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption simulatorOption("simulator", "The simulator program.", "PATH");
    const QCommandLineOption seedOption("seed", "The chaos seed.", "N", "1");
    const QCommandLineOption operationsOption("operations", "Operations to run.", "N", "200");
    const QCommandLineOption adaptersOption("adapters", "Adapters at once.", "N", "8");
    const QCommandLineOption rateOption("chaos-rate", "Faults per command line.", "R", "0.1");
    const QCommandLineOption soakOption("soak", "Instead of chaos: N reads of one adapter.", "N");
    parser.addOptions(
        {simulatorOption, seedOption, operationsOption, adaptersOption, rateOption, soakOption});
    parser.process(app);

    Options options;
    options.simulator = parser.value(simulatorOption);
    options.seed = parser.value(seedOption).toUInt();
    options.operations = parser.value(operationsOption).toInt();
    options.adapters = std::clamp(parser.value(adaptersOption).toInt(), 1, 16);
    options.rate = parser.value(rateOption).toDouble();
    options.soak = parser.value(soakOption).toInt();

    QTemporaryDir folder;
    qputenv("PAIRWICK_PORTS", folder.path().toLocal8Bit());
    Simulator simulator;
    const QStringList extra = options.soak > 0
                                  ? QStringList{"--reply-delay", "1"}
                                  : QStringList{"--chaos", QString::number(options.seed),
                                                "--chaos-rate", QString::number(options.rate)};
    if (!simulator.start(options.simulator, folder.path(), options.soak > 0 ? 1 : options.adapters,
                         extra)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 2;
    }
    if (options.soak > 0)
        return soak(options);
    const int status = ChaosRun(options, folder.path()).run();
    if (status != 0) {
        // The simulator's and the engine's logs tell what happened where.
        folder.setAutoRemove(false);
        std::fprintf(stderr, "logs kept in %s\n", qPrintable(folder.path()));
    }
    return status;
}
