// SPDX-License-Identifier: GPL-3.0-or-later
// The fixture's side of a station run: the simulated units and operator, the ledger's listings
// and the audit that every case ends with.
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>

#include "tst_e2e_station.h"

namespace pairwick::station::test {

std::map<QString, Fields> unitStates(const QByteArray &log) {
    static const QRegularExpression unitIn(
        QStringLiteral(R"(^\S+ (?:(COM\d+) )?unit in \d+ (\S+)$)"));
    static const QRegularExpression state(
        QStringLiteral(R"(^\S+ (?:(COM\d+) )?state (\w+)=(.*)$)"));
    std::map<QString, QString> addressIn;
    std::map<QString, Fields> states;
    for (const QByteArray &bytes : log.split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (const auto in = unitIn.match(line); in.hasMatch())
            addressIn[in.captured(1)] = in.captured(2);
        else if (const auto change = state.match(line); change.hasMatch())
            states[addressIn[change.captured(1)]][change.captured(2)] = change.captured(3);
    }
    return states;
}

}  // namespace pairwick::station::test

SimulatorProcess &TestE2eStation::startUnits(int ports, const QStringList &switches) {
    m_units = std::make_unique<SimulatorProcess>();
    // Units are taken out as udev does it, unless a case says otherwise: the last --unplug counts.
    const QStringList arguments{"--units",     "--adapters",     QString::number(ports),
                                "--ports-dir", m_folder->path(), "--unit-settle",
                                "50",          "--unplug",       "udev"};
    if (!m_units->start(arguments + switches, ports))
        qFatal("the simulated units did not start");
    return *m_units;
}

QProcessEnvironment TestE2eStation::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PAIRWICK_PORTS"), m_folder->path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder->filePath("data"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), m_folder->filePath("state"));
    environment.remove(QStringLiteral("PAIRWICK_LEDGER"));
    return environment;
}

QString TestE2eStation::postgresUrl(const PrivatePgBouncer *pooler) {
    const QString name = QStringLiteral("station%1").arg(++m_databases);
    const QString url = m_postgres->createDatabase(name);
    if (url.isEmpty())
        qFatal("no database: %s", qPrintable(m_postgres->problem()));
    return pooler ? pooler->url(name) : url;
}

std::unique_ptr<Station> TestE2eStation::station(const QStringList &arguments) {
    return std::make_unique<Station>(arguments, environment());
}

void TestE2eStation::operate(const QList<Station *> &stations, const std::function<bool()> &done,
                             int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        bool anyRunning = false;
        for (Station *one : stations) {
            anyRunning = anyRunning || one->running();
            for (const Json &unit : one->newUnits())
                m_units->command("next " + unit.value(QStringLiteral("slot")).toString().toUtf8());
        }
        if (!anyRunning)
            return;
        QTest::qWait(20);
    }
}

QJsonArray TestE2eStation::ledger(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH),
                  QStringList{QStringLiteral("ledger")} + arguments + QStringList{"--json"});
    if (!process.waitForFinished(PatienceMs) || process.exitCode() != 0)
        qWarning("ledger %s: %s", qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
    const QByteArray output = process.readAllStandardOutput();
    if (arguments.first() == u"batches")
        return QJsonDocument::fromJson(output).object().value("batches").toArray();
    QJsonArray rows;  // one object a line
    for (const QByteArray &line : output.split('\n')) {
        if (!line.isEmpty())
            rows.append(QJsonDocument::fromJson(line).object());
    }
    return rows;
}

int TestE2eStation::cli(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
    if (!process.waitForFinished(PatienceMs))
        return -1;
    if (process.exitCode() != 0)
        qWarning("%s: %s", qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
    return process.exitCode();
}

// Every unit the ledger calls passed holds what the ledger says it was given, every pass a
// station reported is in the ledger, no number is handed out twice or skipped, and no attempt
// is left open.
TestE2eStation::Audit TestE2eStation::audit(const QString &url, const QString &batch,
                                            const QList<Json> &reported) {
    const std::map<QString, Fields> states = unitStates(m_units->standardOutput());
    Audit audit;
    QSet<qint64> numbers;
    QSet<QString> passed;
    for (const QJsonValue &value : ledger({"units", "--batch", batch, "--ledger", url})) {
        const Json unit = value.toObject();
        const QString address = unit.value("address").toString();
        ++audit.units;
        audit.numbersTwice += numbers.contains(unit.value("seq").toInteger());
        numbers.insert(unit.value("seq").toInteger());
        if (unit.value("state").toString() != "passed")
            continue;
        passed.insert(address);
        const auto found = states.find(address);
        for (const auto &[key, factory] : {std::pair{"name", "PairwickSim"}, {"pin", "1234"}}) {
            if (unit.value(key).toString().isEmpty())
                continue;  // not one of the unit's own values
            const bool held = found != states.end() && found->second.count(key) > 0;
            const QString holds = held ? found->second.at(key) : QString(factory);
            audit.disagreements += holds != unit.value(key).toString();
        }
    }
    for (const Json &unit : reported)
        audit.lost += unit.value("result").toString() == "passed" &&
                      !passed.contains(unit.value("address").toString());
    // Numbers are handed out in order, so a batch has no gaps.
    audit.gaps = numbers.isEmpty()
                     ? 0
                     : int(*std::max_element(numbers.cbegin(), numbers.cend()) - numbers.size());
    for (const QJsonValue &attempt :
         ledger({"units", "--batch", batch, "--attempts", "--ledger", url})) {
        audit.open += attempt.toObject().value("result").toString() == "started";
        audit.interrupted += attempt.toObject().value("result").toString() == "interrupted";
    }
    QProcess check;
    check.setProcessEnvironment(environment());
    check.start(QStringLiteral(PAIRWICK_CLI_PATH), {"ledger", "check", "--ledger", url});
    check.waitForFinished(PatienceMs);
    // Each disagreement on a line, then a line that sums them up.
    audit.recount = check.exitCode() == 0   ? 0
                    : check.exitCode() == 1 ? int(check.readAllStandardOutput().count('\n')) - 1
                                            : -1;
    return audit;
}

void TestE2eStation::expectLedgerMatchesUnits(const QString &url, const QString &batch,
                                              const QList<Json> &reported) {
    const Audit found = audit(url, batch, reported);
    QVERIFY(found.units > 0);
    QCOMPARE(found.numbersTwice, 0);
    QCOMPARE(found.gaps, 0);
    QCOMPARE(found.disagreements, 0);
    QCOMPARE(found.lost, 0);
    QCOMPARE(found.open, 0);
    QCOMPARE(found.recount, 0);
}
