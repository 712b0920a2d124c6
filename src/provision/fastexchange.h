// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <atomic>
#include <optional>

namespace pairwick::link {
class CommPort;
}

namespace pairwick::provision {

struct Pace {
    // The window's pace: every exchange takes its full second, however fast the adapter is.
    bool paced = false;
    // How long an incomplete reply is waited for.
    int timeoutMs = 1000;
};

inline constexpr int TimeoutLimitMs = 60000;
// An incomplete reply's wait as given in words: 1 to TimeoutLimitMs milliseconds, else nothing.
std::optional<int> parseTimeout(const QString &milliseconds);

struct Reply {
    // From the repeated command line to the end of the reply when complete; otherwise everything
    // that came in time.
    QString text;
    bool complete = false;
};

// The exchange of a port on a thread of its own: one command line, then the reply as soon as its
// layout is complete. Stale input is dropped before every command, so a tail that came too late
// cannot shift the next reply. Throws link::RunCancelled once the stop flag is set, before
// anything more is written; port faults throw link::PortError.
class FastExchange {
public:
    FastExchange(link::CommPort &port, Pace pace, const std::atomic_bool &stop);

    Reply exchange(const QString &command);
    // A pause with nothing sent, for an adapter that settles after a reset.
    void pause(int milliseconds);
    const Pace &pace() const { return m_pace; }
    // Command lines begun so far, counted before their first byte: one that a stop or a port
    // fault cut short counts, since the adapter may have taken it.
    qint64 linesSent() const { return m_linesSent; }

private:
    void throwIfStopped() const;
    // Waits for input in short slices, so a stop request is seen within one of them.
    void waitForInput(qint64 remainingMs);

    link::CommPort &m_port;
    Pace m_pace;
    const std::atomic_bool &m_stop;
    qint64 m_linesSent = 0;
};

}  // namespace pairwick::provision
