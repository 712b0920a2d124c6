// SPDX-License-Identifier: GPL-3.0-or-later
#include "processgauge.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace pairwick::chaos {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

qsizetype openDescriptors() {
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs)
        .size();
}
}  // namespace pairwick::chaos
