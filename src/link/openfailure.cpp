// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/openfailure.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#include <csignal>
#endif

namespace pairwick::link {

namespace {

// The directories where serial-port lock files ("LCK..ttyUSB0") are kept, in the order the
// serial library looks.
const QStringList LockDirectories{"/var/lock", "/etc/locks", "/var/spool/locks",  "/var/spool/uucp",
                                  "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};

QString lockFileName(const QString &device) {
    QString name = device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
    name.replace(u'/', u'_');
    return QStringLiteral("LCK..") + name;
}

QString withDescription(const QString &explanation, const QString &description) {
    return QStringLiteral("%1\n\n%2").arg(explanation, description);
}

}  // namespace

QString explainOpenFailure(const OpenFailureFacts &facts) {
    if (facts.permissionDenied) {
        const QString group =
            facts.deviceGroup.isEmpty() ? QStringLiteral("dialout") : facts.deviceGroup;
        return withDescription(QCoreApplication::translate(
                                   "pairwick::link::OpenFailure",
                                   "没有权限打开串口 %1。\n请把当前用户加入拥有该设备的用户组 %2："
                                   "sudo usermod -aG %2 $USER，然后注销并重新登录。")
                                   .arg(facts.device, group),
                               facts.description);
    }
    if (!facts.lockFile.isEmpty() && facts.lockOwnerAlive) {
        const QString owner =
            facts.lockOwnerName.isEmpty()
                ? QString::number(facts.lockOwner)
                : QStringLiteral("%1 %2").arg(facts.lockOwner).arg(facts.lockOwnerName);
        return withDescription(
            QCoreApplication::translate("pairwick::link::OpenFailure",
                                        "串口 %1 正被其他程序（进程 %2）使用，锁文件为 %3。\n"
                                        "请先关闭那个程序，再点击“连接”。")
                .arg(facts.device, owner, facts.lockFile),
            facts.description);
    }
    if (!facts.lockFile.isEmpty()) {
        return withDescription(
            QCoreApplication::translate("pairwick::link::OpenFailure",
                                        "串口 %1 被锁文件 %2 锁定，而创建它的程序已经不在运行；"
                                        "当前用户无法删除它（可能是以 sudo 运行时留下的）。\n"
                                        "请删除该文件：sudo rm %2")
                .arg(facts.device, facts.lockFile),
            facts.description);
    }
    if (facts.busy) {
        return withDescription(
            QCoreApplication::translate(
                "pairwick::link::OpenFailure",
                "串口 %1 正被其他程序独占使用。\n请先关闭那个程序，再点击“连接”。")
                .arg(facts.device),
            facts.description);
    }
    return QStringLiteral("%1\n%2").arg(facts.description, facts.device);
}

OpenFailureFacts gatherOpenFailureFacts(const QString &device, const QString &description) {
    OpenFailureFacts facts;
    facts.device = device;
    facts.description = description;
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    facts.permissionDenied = ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
    facts.deviceGroup = QFileInfo(device).group();
    facts.busy = description.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
    for (const QString &directory : LockDirectories) {
        const QString candidate = directory + u'/' + lockFileName(device);
        QFile lock(candidate);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        facts.lockFile = candidate;
        facts.lockOwner = lock.readLine().trimmed().toLongLong();
        facts.lockOwnerAlive =
            facts.lockOwner > 0 && (::kill(pid_t(facts.lockOwner), 0) == 0 || errno == EPERM);
        QFile name(QStringLiteral("/proc/%1/comm").arg(facts.lockOwner));
        if (facts.lockOwnerAlive && name.open(QIODevice::ReadOnly))
            facts.lockOwnerName = QString::fromLocal8Bit(name.readAll().trimmed());
        break;
    }
#endif
    return facts;
}

}  // namespace pairwick::link
