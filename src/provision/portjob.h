// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "provision/fastexchange.h"
#include "settings/adaptersettings.h"

namespace pairwick::link {
class CommPort;
class TrafficLog;
}  // namespace pairwick::link

namespace pairwick::provision {

enum class Operation { Read, Write, Reset };

struct PortJob {
    QString port;  // "COM3" or a device path
    Operation operation = Operation::Read;
    settings::AdapterSettings desired;  // for Write
    Pace pace;
    // For Write: what a full read of this adapter found moments ago, through a job of its own.
    // The write compares against it and asks the adapter nothing that read did not, neither the
    // probe nor a read of its own; it still reads back and verifies what it writes.
    std::optional<settings::AdapterSettings> found{};
};

struct PortResult {
    QString port;
    QString device;
    bool ok = false;
    bool openFailed = false;
    bool stopped = false;
    // What was read, also from a port that failed part-way; complete when a full read came after
    // the last write or reset.
    settings::AdapterSettings settings;
    bool complete = false;
    QList<settings::Key> written;
    QList<settings::Key> unchanged;
    QString failedStep;  // empty when the port could not be opened or was stopped
    QString error;
    double seconds = 0;
};

// How far a port is: the step under way, after done of the total steps. The total is what the
// operation takes as far as is known so far; it shrinks once the adapter's settings show that
// fewer writes or reads are needed.
struct StepProgress {
    QString step;
    int done = 0;
    int total = 0;
};

// 3 for "COM3" (in any case), 0 for anything else.
int comPortNumber(const QString &port);
// The device a port argument names: COMn through the port map, anything else as it stands.
QString deviceForPort(const QString &port);
// Opens COMn through the port map (logged under that name), anything else as a device path.
void openPort(link::CommPort &commPort, const QString &port);

// Opens the port, probes (unless a write was handed what a read found), runs the operation and
// releases the port again; never throws. Meant for a thread of its own: it blocks until done.
PortResult runPortJob(const PortJob &job, const std::atomic_bool &stop, link::TrafficLog *log,
                      const std::function<void(const StepProgress &progress)> &progress);

}  // namespace pairwick::provision
