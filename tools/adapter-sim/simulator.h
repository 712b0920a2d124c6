// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activitylog.h"
#include "devicelink.h"
#include "linesplitter.h"
#include "linewriter.h"
#include "portlink.h"
#include "pseudoterminal.h"
#include "responder.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

class QSocketNotifier;

namespace pairwick::adaptersim {

struct AdapterSetup {
    QString portsFolder;
    QString linkName;
    std::chrono::milliseconds replyDelay{20};
    // Bits a second on the simulated line; 0 lets the output go as fast as it is taken.
    qint64 lineRate = 0;
    qint64 floodBytes = 0;
    // Where the adapter's by-path link goes while it is plugged in, as udev makes one, with the
    // port map's link pointing at it; empty: the port map's link points at the terminal itself
    // and is re-pointed at nothing when the adapter is unplugged.
    QString deviceLinks;
};

// Plays one adapter on its own pseudo-terminal, linked as comN in the port map: reads command
// lines, answers them after a delay like the real device, and optionally floods the line with
// noise or drops off the line for a while. A production slot unplugs it and plugs another
// adapter in its place.
class Simulator : public QObject {
    Q_OBJECT

public:
    Simulator(AdapterSetup setup, Responder responder, ActivityLog log, QObject *parent = nullptr);
    ~Simulator() override;

    // Creates the terminal and the link; nothing is read before start().
    bool open(QString *error);
    // Creates only the link, pointing at nothing, for a slot that starts with no unit in.
    bool openEmpty(QString *error);
    void start();
    // "<link> -> <terminal>", as the ready and returned lines print it.
    QString endpoints() const;

    // The adapter is unplugged for good: its terminal goes, the link is left pointing at nothing.
    // With udev's links, its by-path link goes too, and the folders that it leaves empty.
    bool takeOut();
    // Another adapter is plugged in under the same link, on a terminal of its own.
    bool putIn(Responder responder);
    // The terminal stays but nothing answers, as behind a bridge whose adapter was pulled out.
    void setMuted(bool muted);
    bool isMuted() const { return m_muted; }

signals:
    // The simulator has stopped touching the terminal; the program is to end with this code.
    void finished(int exitCode);

private:
    bool attach(QString *error);
    bool linkTerminal(bool returning, QString *error);
    void detach();
    void closeTerminal();
    void readInput();
    void handleLine(const QByteArray &line);
    std::chrono::milliseconds arrivalTime(qsizetype bytes) const;
    QString nowhere() const;
    bool unplug();
    bool reattach();
    void disappear(std::chrono::milliseconds absence);
    void reappear();
    void schedule(const QByteArray &bytes, std::chrono::milliseconds delay);
    void send(const QByteArray &bytes, quint64 presence);
    void startFlood();
    void finish(int exitCode, const QString &reason);

    AdapterSetup m_setup;
    Responder m_responder;
    ActivityLog m_log;
    LineSplitter m_splitter;
    LineWriter m_writer;
    std::optional<PseudoTerminal> m_terminal;
    std::optional<PortLink> m_link;
    std::optional<DeviceLink> m_deviceLink;
    QSocketNotifier *m_readable = nullptr;
    // Brings a vanished adapter back; stopped when it is taken out meanwhile.
    QTimer m_return;
    // Counts the terminals so far, so replies due on a vanished one are not sent on the next.
    quint64 m_presence = 0;
    qsizetype m_scheduledBytes = 0;
    bool m_floodScheduled = false;
    bool m_finished = false;
    bool m_muted = false;
};

}  // namespace pairwick::adaptersim
