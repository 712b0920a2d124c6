// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::link {

// What the system says about a port that would not open, gathered once so the explanation can
// be worked out (and tested) apart from the system.
struct OpenFailureFacts {
    QString device;
    QString description;  // the platform's own words, always shown
    bool permissionDenied = false;
    QString deviceGroup;   // the group that owns the device, if known
    bool busy = false;     // another opener holds the device exclusively
    QString lockFile;      // an existing lock file for the device
    qint64 lockOwner = 0;  // the process named in it
    bool lockOwnerAlive = false;
    QString lockOwnerName;
};

// The warning's text: what went wrong in the user's terms, how to mend it on Linux, then the
// platform's description.
QString explainOpenFailure(const OpenFailureFacts &facts);

// Looks at the device and at the lock directories serial ports use.
OpenFailureFacts gatherOpenFailureFacts(const QString &device, const QString &description);

}  // namespace pairwick::link
