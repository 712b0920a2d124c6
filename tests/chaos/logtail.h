// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace pairwick::chaos {

// Reads a growing log file line by line from where the last call stopped.
class LogTail {
public:
    explicit LogTail(const QString &path);
    // The lines completed since the last call; a line still being written waits for its end.
    QStringList newLines();

private:
    QFile m_file;
    QByteArray m_pending;
};

}  // namespace pairwick::chaos
