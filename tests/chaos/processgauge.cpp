// SPDX-License-Identifier: GPL-3.0-or-later
#include "processgauge.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace pairwick::chaos {

namespace {

long residentMemoryKiB() {
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

}  // namespace

ProcessGauge ProcessGauge::now() {
    return {residentMemoryKiB(), openDescriptors()};
}

void printGauges(const ProcessGauge &warm, const ProcessGauge &end) {
    std::printf("%-44s %ld / %ld KiB\n", "resident memory after warm-up / at the end",
                warm.residentKiB, end.residentKiB);
    std::printf("%-44s %lld / %lld\n", "open descriptors after warm-up / at the end",
                qlonglong(warm.descriptors), qlonglong(end.descriptors));
}

}  // namespace pairwick::chaos
