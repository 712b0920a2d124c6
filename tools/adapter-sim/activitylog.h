// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adapterstate.h"
#include "faults.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pairwick::adaptersim {

// The running account on standard output: one time-stamped line per received line, per
// written reply and per change of state, flushed at once so that a reader sees it as it
// happens. When several adapters share the output, each line names its adapter's port.
class ActivityLog {
public:
    explicit ActivityLog(bool quiet, const QString &port = {});

    void received(QByteArrayView line) const;
    void sent(QByteArrayView bytes) const;
    void stateChanged(Field field, QByteArrayView value) const;
    void chaos(Fault fault, QByteArrayView line) const;
    void note(const QString &text) const;

private:
    void write(QByteArrayView text) const;

    bool m_quiet;
    QByteArray m_prefix;
};

}  // namespace pairwick::adaptersim
