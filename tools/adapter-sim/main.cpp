// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterstate.h"
#include "options.h"
#include "portlink.h"
#include "pseudoterminal.h"
#include "responder.h"
#include "signalwatcher.h"
#include "simulator.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

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

    // Watching before the link exists, so no signal can leave the link behind.
    SignalWatcher signalWatcher;
    PseudoTerminal terminal;
    PortLink link;
    QString error;
    if (!terminal.open(&error) ||
        !link.create(options.portsFolder, options.linkName, terminal.devicePath(), &error)) {
        return fail(error);
    }
    print(stdout, QStringLiteral("ready %1 -> %2\n").arg(link.path(), terminal.devicePath()));

    const ActivityLog log(options.quiet);
    Responder responder(initialState(options), options.faults, options.lowercaseOk);
    Simulator simulator(terminal.masterFd(), responder, log, options.floodBytes);

    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app,
                     [&](int signalNumber) {
                         log.note(QStringLiteral("stopping on signal %1").arg(signalNumber));
                         QCoreApplication::exit(0);
                     });
    // Leaving the loop is enough: the link and the terminal go with their owners below.
    QObject::connect(&simulator, &Simulator::finished, &app, &QCoreApplication::exit);
    return QCoreApplication::exec();
}
