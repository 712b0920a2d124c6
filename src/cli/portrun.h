// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdio>
#include <vector>

#include "cli/output.h"
#include "provision/portjob.h"

namespace pairwick::cli {

class ProgressView;
class StopSignals;

struct RunOutcome {
    std::vector<provision::PortResult> results;
    bool stopped = false;
};

// Every job on a thread of its own until all are through or a stop signal ends them. Each port
// tells its outcome on progress as soon as it has one: okText when it succeeded.
RunOutcome runJobs(const QList<provision::PortJob> &jobs, link::TrafficLog *log,
                   ProgressView &progress, StopSignals &stopSignals, const QString &okText);

// Opens the wire log for appending, or says on standard error why it cannot. Without a file
// there is nothing to open.
bool openWireLog(const QString &file, link::TrafficLog &log);

// The status of a call whose ports did their work, but whose wire log may have failed: that is
// told on standard error, and success becomes a port failure, since the record is not whole.
int statusWithLog(int status, const link::TrafficLog &log);

}  // namespace pairwick::cli
