// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/onpasscommand.h"

#include <QCoreApplication>
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
        return {-1, QCoreApplication::translate("pairwick::station", "通过后命令未能启动：%1")
                        .arg(process.errorString())};
    if (!process.waitForFinished(LimitMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, QCoreApplication::translate("pairwick::station",
                                                "通过后命令运行超过 %1 秒，已被终止")
                        .arg(LimitMs / 1000)};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {-1, QCoreApplication::translate("pairwick::station", "通过后命令崩溃")};
    const int status = process.exitCode();
    if (status != 0)
        return {status, QCoreApplication::translate("pairwick::station", "通过后命令以状态 %1 退出")
                            .arg(status)};
    return {0, QString()};
}

}  // namespace pairwick::station
