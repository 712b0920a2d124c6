// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pairwick::adaptersim {

// Printable ASCII as it is, CR LF TAB and backslash as C escapes, every other byte as \xHH.
QByteArray escaped(QByteArrayView bytes);

// The running account on standard output: one time-stamped line per received line and per
// written reply, flushed at once so that a reader sees it as it happens.
class ActivityLog {
public:
    explicit ActivityLog(bool quiet) : m_quiet(quiet) {}

    void received(QByteArrayView line) const;
    void sent(QByteArrayView bytes) const;
    void note(const QString &text) const;

private:
    void write(QByteArrayView text) const;

    bool m_quiet;
};

}  // namespace pairwick::adaptersim
