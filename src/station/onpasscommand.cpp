// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/onpasscommand.h"

#include <QProcess>

namespace pairwick::station {

namespace {

constexpr int LimitMs = 30000;

}  // namespace

OnPassOutcome runOnPass(const QString &command, const QProcessEnvironment &unitFacts) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(unitFacts);
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    // Opened in the child, where it names the station's own standard error.
    process.setStandardOutputFile(QStringLiteral("/proc/self/fd/2"));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    if (!process.waitForStarted())
        return {-1, QStringLiteral("on-pass command did not start: %1").arg(process.errorString())};
    if (!process.waitForFinished(LimitMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, QStringLiteral("on-pass command ran longer than %1 s and was ended")
                        .arg(LimitMs / 1000)};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("on-pass command crashed")};
    const int status = process.exitCode();
    if (status != 0)
        return {status, QStringLiteral("on-pass command exited with status %1").arg(status)};
    return {0, QString()};
}

}  // namespace pairwick::station
