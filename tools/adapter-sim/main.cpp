// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterstate.h"
#include "chaos.h"
#include "controlinput.h"
#include "options.h"
#include "responder.h"
#include "signalwatcher.h"
#include "simulator.h"
#include "unitnumbering.h"
#include "unitslot.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

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

// Several adapters of one process are as many devices, so each has an address of its own: the
// unit address of its port's number.
AdapterState adapterState(const Options &options, int port) {
    AdapterState state = initialState(options);
    if (options.adapters > 1) {
        state.setValue(Field::LocalAddress, unitAddress(port));
    }
    return state;
}

// chaosStream: the adapter's place, or in unit mode the unit's serial, so that each unit draws
// its own faults, the same again for the same serial.
Responder makeResponder(const Options &options, AdapterState state, quint32 chaosStream) {
    std::optional<Chaos> chaos;
    if (options.chaos) {
        chaos.emplace(*options.chaos, chaosStream);
    }
    return Responder(std::move(state), options.faults, options.lowercaseOk, std::move(chaos));
}

UnitSlot::UnitMaker unitMaker(const Options &options) {
    return [&options](qint64 serial, const QByteArray &address) {
        AdapterState state = initialState(options);
        state.setValue(Field::LocalAddress, address);
        return makeResponder(options, std::move(state), quint32(serial));
    };
}

void print(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int fail(const QString &message) {
    print(stderr, QStringLiteral("pairwick-adapter-sim: %1\n").arg(message));
    return 1;
}

void ignoreControlLine(const QString &reason) {
    print(stderr, QStringLiteral("pairwick-adapter-sim: control line ignored: %1\n").arg(reason));
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
    // Declared before the adapters, so their by-path links go before their folder.
    std::optional<QTemporaryDir> deviceLinks;
    if (options.udevLinks) {
        deviceLinks.emplace(QDir::tempPath() + QStringLiteral("/pairwick-adapter-sim-XXXXXX"));
        if (!deviceLinks->isValid()) {
            return fail(QStringLiteral("cannot create a folder for the by-path links: %1")
                            .arg(deviceLinks->errorString()));
        }
    }
    std::vector<std::unique_ptr<Simulator>> adapters;
    // In unit mode, one a port; declared after the adapters they work on, so they go first.
    std::vector<std::unique_ptr<UnitSlot>> unitSlots;
    const UnitSlot::UnitMaker makeUnit = unitMaker(options);
    for (int index = 0; index < options.adapters; ++index) {
        const int port = options.firstPort + index;
        const AdapterSetup setup{
            options.portsFolder, QStringLiteral("com%1").arg(port),
            options.replyDelay,  options.lineRate,
            options.floodBytes,  deviceLinks ? deviceLinks->path() : QString()};
        const UnitNumbering numbering{options.firstUnit, options.adapters, index};
        Responder responder =
            options.units ? UnitSlot::firstUnit(numbering, makeUnit)
                          : makeResponder(options, adapterState(options, port), quint32(index));
        // One adapter keeps the log as it always was; several name their ports.
        const QString label = options.adapters > 1 ? QStringLiteral("COM%1").arg(port) : QString();
        adapters.push_back(std::make_unique<Simulator>(setup, std::move(responder),
                                                       ActivityLog(options.quiet, label)));
        QString error;
        const bool empty = options.units && options.startEmpty;
        if (!(empty ? adapters.back()->openEmpty(&error) : adapters.back()->open(&error))) {
            // The links made so far go with their adapters.
            return fail(error);
        }
        // Leaving the loop is enough: the links and the terminals go with their owners below.
        QObject::connect(adapters.back().get(), &Simulator::finished, &app,
                         &QCoreApplication::exit);
        if (options.units) {
            unitSlots.push_back(std::make_unique<UnitSlot>(*adapters.back(), numbering, makeUnit,
                                                           options.unitSettle, options.startEmpty,
                                                           ActivityLog(options.quiet, label)));
        }
    }
    for (const auto &adapter : adapters) {
        print(stdout, QStringLiteral("ready %1\n").arg(adapter->endpoints()));
    }
    if (options.units) {
        for (const auto &slot : unitSlots) {
            slot->start();
        }
    } else {
        for (const auto &adapter : adapters) {
            adapter->start();
        }
    }

    std::optional<ControlInput> control;
    if (options.units) {
        control.emplace();
        QObject::connect(&*control, &ControlInput::rejected, &app, &ignoreControlLine);
        QObject::connect(
            &*control, &ControlInput::command, &app, [&](const ControlCommand &command) {
                const int index = command.port - options.firstPort;
                QString reason;
                if (index < 0 || index >= options.adapters) {
                    reason = QStringLiteral("no port here is COM%1").arg(command.port);
                } else if (unitSlots[std::size_t(index)]->apply(command.action, &reason)) {
                    return;
                }
                ignoreControlLine(QStringLiteral("\"%1\": %2").arg(command.text, reason));
            });
    }

    const ActivityLog log(options.quiet);
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app,
                     [&](int signalNumber) {
                         log.note(QStringLiteral("stopping on signal %1").arg(signalNumber));
                         QCoreApplication::exit(0);
                     });
    return QCoreApplication::exec();
}
