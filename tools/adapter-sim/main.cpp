// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterstate.h"
#include "chaos.h"
#include "options.h"
#include "responder.h"
#include "signalwatcher.h"
#include "simulator.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

using namespace pairwick::adaptersim;

namespace {

AdapterState initialState(const Options &options) {
    AdapterState state = AdapterState::factory();
    if (options.startAsMaster) {
        state.setValue(Field::Role, "1");
    }
    if (options.gb18030Name) {
        // 测试设备 as older tools stored it.
        state.setValue(Field::Name, "\xB2\xE2\xCA\xD4\xC9\xE8\xB1\xB8");
    }
    return state;
}

void print(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int fail(const QString &message) {
    print(stderr, QStringLiteral("pairwick-adapter-sim: %1\n").arg(message));
    return 1;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);

    const auto parsed = parseOptions(QCoreApplication::arguments());
    if (const auto *early = std::get_if<EarlyExit>(&parsed)) {
        print(early->exitCode == 0 ? stdout : stderr, early->text);
        return early->exitCode;
    }
    const Options &options = std::get<Options>(parsed);

    // Watching before any link exists, so no signal can leave a link behind.
    SignalWatcher signalWatcher;
    std::vector<std::unique_ptr<Simulator>> adapters;
    for (int index = 0; index < options.adapters; ++index) {
        const int port = options.firstPort + index;
        const AdapterSetup setup{options.portsFolder, QStringLiteral("com%1").arg(port),
                                 options.replyDelay, options.lineRate, options.floodBytes};
        std::optional<Chaos> chaos;
        if (options.chaos) {
            chaos.emplace(*options.chaos, quint32(index));
        }
        Responder responder(initialState(options), options.faults, options.lowercaseOk,
                            std::move(chaos));
        // One adapter keeps the log as it always was; several name their ports.
        const QString label = options.adapters > 1 ? QStringLiteral("COM%1").arg(port) : QString();
        adapters.push_back(std::make_unique<Simulator>(setup, std::move(responder),
                                                       ActivityLog(options.quiet, label)));
        QString error;
        if (!adapters.back()->open(&error)) {
            // The links made so far go with their adapters.
            return fail(error);
        }
        // Leaving the loop is enough: the links and the terminals go with their owners below.
        QObject::connect(adapters.back().get(), &Simulator::finished, &app,
                         &QCoreApplication::exit);
    }
    for (const auto &adapter : adapters) {
        print(stdout, QStringLiteral("ready %1\n").arg(adapter->endpoints()));
    }
    for (const auto &adapter : adapters) {
        adapter->start();
    }

    const ActivityLog log(options.quiet);
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app,
                     [&](int signalNumber) {
                         log.note(QStringLiteral("stopping on signal %1").arg(signalNumber));
                         QCoreApplication::exit(0);
                     });
    return QCoreApplication::exec();
}
