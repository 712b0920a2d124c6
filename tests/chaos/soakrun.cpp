// SPDX-License-Identifier: GPL-3.0-or-later
#include "soakrun.h"

#include <QList>
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "processgauge.h"
#include "provision/portjob.h"

namespace pairwick::chaos {

namespace {

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

}  // namespace

int runSoak(int reads) {
    const int window = std::min(1000, std::max(1, reads / 10));
    const int warmUp = std::min(100, reads / 10);
    std::atomic_bool stop{false};
    QList<double> seconds;
    ProcessGauge warm;
    int failures = 0;
    for (int read = 0; read < reads; ++read) {
        if (read == warmUp)
            warm = ProcessGauge::now();
        const provision::PortResult result =
            provision::runPortJob({QStringLiteral("COM1"), provision::Operation::Read, {}, {}},
                                  stop, nullptr, [](const provision::StepProgress &) {});
        failures += !result.ok;
        seconds.append(result.seconds);
    }
    const ProcessGauge end = ProcessGauge::now();
    const double first = median(seconds.mid(0, window));
    const double last = median(seconds.mid(seconds.size() - window));
    std::printf("\nSoak: %d reads of one adapter\n\n", reads);
    std::printf("%-44s %d\n", "failed reads", failures);
    printGauges(warm, end);
    std::printf("%-44s %.2f / %.2f ms (%+.1f %%)\n",
                qPrintable(QStringLiteral("median read, first / last %1").arg(window)), first * 1e3,
                last * 1e3, first > 0 ? (last - first) / first * 100 : 0.0);
    return failures == 0 && end.descriptors == warm.descriptors ? 0 : 1;
}

}  // namespace pairwick::chaos
