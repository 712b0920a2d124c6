// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <csignal>

namespace pairwick::station::test {

using Json = QJsonObject;

// One station process and the JSON lines it printed so far.
class Station {
public:
    Station(const QStringList &arguments, const QProcessEnvironment &environment,
            const QString &errorFile = {}) {
        m_process.setProcessEnvironment(environment);
        if (!errorFile.isEmpty())
            m_process.setStandardErrorFile(errorFile);
        m_process.start(QStringLiteral(PAIRWICK_CLI_PATH),
                        QStringList{QStringLiteral("station")} + arguments +
                            QStringList{QStringLiteral("--json")});
        if (!m_process.waitForStarted())
            qWarning("the station did not start: %s", qPrintable(m_process.errorString()));
    }
    ~Station() {
        // What the station said is the first thing to read when a case fails.
        if (QTest::currentTestFailed())
            qWarning("the station said: %s", errors().right(3000).constData());
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The units finished since the last call.
    QList<Json> newUnits() {
        m_pending += m_process.readAllStandardOutput();
        QList<Json> units;
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const Json line = QJsonDocument::fromJson(m_pending.left(end)).object();
            m_pending.remove(0, end + 1);
            if (line.value(QStringLiteral("event")).toString() == QStringLiteral("unit"))
                units.append(line);
            else
                m_slotEvents.append(line);
        }
        m_units += units;
        return units;
    }
    const QList<Json> &units() const { return m_units; }
    // All units finished so far, read afresh: safe to evaluate more than once.
    qsizetype unitCount() {
        newUnits();
        return m_units.size();
    }
    const QList<Json> &slotEvents() const { return m_slotEvents; }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process.processId(); }
    // The CPU time the station has taken so far, in clock ticks, of all its threads.
    qint64 cpuTicks() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        // utime and stime, the 14th and 15th fields, after the name in parentheses
        const QList<QByteArray> fields = stat.readAll().split(')').constLast().trimmed().split(' ');
        return fields.value(11).toLongLong() + fields.value(12).toLongLong();
    }
    void signal(int number) {
        // Never pid 0: that would signal the test's whole process group.
        if (const qint64 pid = m_process.processId(); pid > 0)
            ::kill(pid_t(pid), number);
    }
    // The exit status, or -1 for a crash or one still running at the deadline.
    int finish(int timeoutMs = 30000) {
        const bool ended =
            m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
        newUnits();
        return ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QByteArray errors() { return m_errors += m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QByteArray m_pending;
    QByteArray m_errors;
    QList<Json> m_units;
    QList<Json> m_slotEvents;
};

}  // namespace pairwick::station::test
