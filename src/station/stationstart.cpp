// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationstart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "ledger/ledger.h"

namespace pairwick::station {

namespace {

using Cause = StartRefusal::Cause;

// One batch, one set of rules: a station that brings none takes the batch's, and one that
// brings other rules is refused with what differs.
std::optional<StartRefusal> joinBatch(ledger::Ledger &ledger, StationConfig &config,
                                      bool firstGiven) {
    BatchRules mine = config.rules;
    const std::optional<QJsonObject> existing = ledger.batchRules(config.batch);
    if (!existing && mine.givesNothing())
        return StartRefusal{Cause::Rules,
                            QCoreApplication::translate(
                                "pairwick::station",
                                "批次 %1 是新的；请用 --profile、--set 或 --values 给出它的规则")
                                .arg(config.batch)};
    bool created = false;
    const QJsonObject stored = ledger.joinBatch(config.batch, mine.toJson(), mine.first, &created);
    if (created)
        return std::nullopt;
    QString error;
    const std::optional<BatchRules> theirs = BatchRules::fromJson(stored, &error);
    if (!theirs)
        return StartRefusal{
            Cause::Ledger,
            QCoreApplication::translate("pairwick::station", "批次 %1：无法读取它存储的规则：%2")
                .arg(config.batch, error)};
    if (!firstGiven)
        mine.first = theirs->first;
    // Not given is the batch's, as for the first number.
    if (mine.maxAttempts == 0)
        mine.maxAttempts = theirs->maxAttempts;
    if (mine.givesNothing()) {
        const qint64 first = mine.first;
        const qint64 maxAttempts = mine.maxAttempts;
        mine = *theirs;
        mine.first = first;
        mine.maxAttempts = maxAttempts;
    }
    const QString difference = rulesDifference(mine, *theirs);
    if (!difference.isEmpty())
        return StartRefusal{
            Cause::Rules,
            QCoreApplication::translate("pairwick::station", "批次 %1 开始时用的是别的规则：%2")
                .arg(config.batch, difference)};
    config.rules = *theirs;
    return std::nullopt;
}

}  // namespace

std::optional<StartRefusal> StationStart::prepare(StationConfig &config, bool firstGiven,
                                                  const ledger::MigrationWatch &watch) {
    // Its spool and its unfinished attempts are the station's own: one per name and machine.
    m_running = std::make_unique<QLockFile>(config.spoolFile + QStringLiteral(".lock"));
    if (!QDir().mkpath(QFileInfo(config.spoolFile).absolutePath()) || !m_running->tryLock(0))
        return StartRefusal{
            Cause::Running,
            QCoreApplication::translate("pairwick::station", "本机上已有名为 %1 的工位在运行（%2）")
                .arg(config.station, m_running->fileName())};
    m_spool = std::make_unique<ResultSpool>(config.spoolFile);
    QString error;
    if (!m_spool->load(&error))
        return StartRefusal{Cause::Spool, error};
    try {
        ledger::Ledger ledger(config.ledger, QStringLiteral("pairwick-start"),
                              ledger::Ledger::Opening::CreateIfMissing, watch);
        m_spool->flush(ledger);
        ledger.markInterrupted(config.station);
        return joinBatch(ledger, config, firstGiven);
    } catch (const ledger::LedgerError &error) {
        return StartRefusal{Cause::Ledger, error.message()};
    }
}

}  // namespace pairwick::station
