// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>
#include <QTemporaryDir>
#include <memory>

#include "link/clock.h"
#include "link/commport.h"
#include "link/eventloopwaiter.h"
#include "recordinglauncher.h"
#include "scriptedmessageboxes.h"
#include "simulatorprocess.h"
#include "window/form1.h"

// The real window on the real port class, talking in real time to the simulated adapter over
// a pseudo-terminal linked as COM1 in a private port-map folder. Only the message boxes are
// scripted, so that no one has to click them.
class E2eHarness {
public:
    E2eHarness();
    ~E2eHarness();

    bool startSimulator(const QStringList &switches = {});
    template <typename Widget>
    Widget *find(const char *objectName) const {
        return form->findChild<Widget *>(QString::fromLatin1(objectName));
    }
    void click(const char *buttonName);
    QString text(const char *lineEditName) const;
    QString caption() const;
    QString status() const;
    struct LoggedLine {
        qint64 msOfDay;
        QString text;
    };
    // The simulator's log lines of one kind ("<-", "chaos", "state", ...), in order: the time of
    // day they carry, and the text after the kind.
    QList<LoggedLine> logged(QStringView kind);
    // The lines the simulator logged as received, in order.
    QStringList receivedLines();

    QTemporaryDir ports;
    pairwick::adaptersim::test::SimulatorProcess simulator;
    pairwick::link::CommPort port;
    pairwick::link::EventLoopWaiter waiter;
    pairwick::link::SystemClock clock;
    pairwick::fakes::ScriptedMessageBoxes boxes;
    pairwick::fakes::RecordingLauncher launcher;
    std::unique_ptr<pairwick::window::Form1> form;
};
