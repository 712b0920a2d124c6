// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/unitpresence.h"

#include <sys/stat.h>
#include <QElapsedTimer>
#include <QFile>
#include <atomic>

#include "link/commport.h"
#include "link/porterror.h"
#include "link/replytests.h"
#include "protocol/commands.h"
#include "provision/fastexchange.h"
#include "provision/portjob.h"
#include "station/devicechain.h"

namespace pairwick::station {

UnitPresence::UnitPresence(QString slot, const Bell &stopping, KeepGoing keepGoing, Problem problem,
                           PresenceTiming timing)
    : m_slot(std::move(slot)),
      m_keepGoing(std::move(keepGoing)),
      m_problem(std::move(problem)),
      m_timing(timing),
      m_sleeper(stopping) {}

bool UnitPresence::deviceExists() const {
    // stat follows the links of a port map or of /dev/serial, so a link to an unplugged device
    // counts as absent. Looked up afresh each time: a replugged unit may come back as another
    // tty behind the same link.
    struct stat status {};
    return ::stat(QFile::encodeName(provision::deviceForPort(m_slot)).constData(), &status) == 0;
}

// Ends early when the station stops, or when an entry on the way to the device changes.
bool UnitPresence::pause(int milliseconds) {
    return m_keepGoing() && m_sleeper.sleep(milliseconds) && m_keepGoing();
}

void UnitPresence::tell(const QString &problem) {
    if (problem == m_lastProblem)
        return;
    m_lastProblem = problem;
    m_problem(problem);
}

bool UnitPresence::answersProbe(link::CommPort &port) {
    // The probe itself never stops half-way: it is four bytes and a short wait.
    const std::atomic_bool never{false};
    provision::FastExchange exchange(port, {false, m_timing.probeTimeoutMs}, never);
    return link::ProbeReplyOk(exchange.exchange(protocol::ProbeCommand).text);
}

bool UnitPresence::waitForUnit(link::CommPort &port) {
    while (m_keepGoing()) {
        // Watched before the look, so a device that comes in between still wakes the slot.
        watchWayTo(m_sleeper, provision::deviceForPort(m_slot));
        if (!deviceExists()) {
            port.close();
            tell(QString());
            pause(m_timing.absentLookMs);
            continue;
        }
        if (!port.isOpen()) {
            try {
                provision::openPort(port, m_slot);
                tell(QString());
            } catch (const link::PortError &fault) {
                // Held by another program, or not the user's to open: said once, watched on. A
                // unit pulled between the look and the open is only an empty slot.
                tell(deviceExists() ? fault.message() : QString());
                pause(m_timing.reopenEveryMs);
                continue;
            }
        }
        QElapsedTimer probing;
        probing.start();
        try {
            if (answersProbe(port))
                return true;
        } catch (const link::PortError &) {
            port.close();
        }
        pause(int(std::max<qint64>(0, m_timing.probeEveryMs - probing.elapsed())));
    }
    port.close();
    return false;
}

bool UnitPresence::waitUntilOut(link::CommPort &port) {
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    bool out = false;
    while (!out && m_keepGoing()) {
        out = !port.isOpen() || !deviceExists();
        try {
            if (!out && answersProbe(port))
                sinceAnswer.restart();
            else
                out = out || sinceAnswer.elapsed() >= m_timing.goneAfterSilentMs;
        } catch (const link::PortError &) {
            out = true;
        }
        if (!out)
            pause(m_timing.checkOutEveryMs);
    }
    port.close();
    return out;
}

}  // namespace pairwick::station
