// SPDX-License-Identifier: GPL-3.0-or-later
// Long randomized runs of pairwick-cli's engine against simulated adapters.
//
// Chaos: rounds of random operations on adapters that misbehave at random (the simulator's chaos
// mode), each checked after its round (chaosrun.h).
//
// Soak: many plain reads of one well-behaved adapter, timed, with memory and descriptors.
//
// Prints one table; exits 1 on any invariant violation, naming the seed and step to replay.
#include <sys/prctl.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>

#include "chaosrun.h"
#include "logtail.h"
#include "patience.h"
#include "soakrun.h"

using namespace pairwick;

namespace {

class Simulator {
public:
    bool start(const QString &program, const QString &folder, int adapters,
               const QStringList &extra) {
        m_process.setStandardOutputFile(folder + QStringLiteral("/simulator.log"));
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(program, QStringList{"--port", "COM1", "--adapters",
                                             QString::number(adapters), "--ports-dir", folder} +
                                     extra);
        chaos::LogTail tail(folder + QStringLiteral("/simulator.log"));
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

    chaos::RunOptions options;
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
        return chaos::runSoak(options.soak);
    const int status = chaos::runChaos(options, folder.path());
    if (status != 0) {
        // The simulator's and the engine's logs tell what happened where.
        folder.setAutoRemove(false);
        std::fprintf(stderr, "logs kept in %s\n", qPrintable(folder.path()));
    }
    return status;
}
