// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/migrationprogress.h"

#include <QCoreApplication>

namespace pairwick::ledger {

QString migrationText(const MigrationProgress &progress) {
    switch (progress.stage) {
        case MigrationProgress::Stage::Waiting:
            return QCoreApplication::translate("pairwick::ledger",
                                               "正在等待另一个工位更新台账的结构……（已等 %1 秒）")
                .arg(progress.seconds, 0, 'f', 0);
        case MigrationProgress::Stage::Started:
            return QCoreApplication::translate("pairwick::ledger",
                                               "正在把台账的结构从版本 %1 更新到 "
                                               "%2；更新完成前其他工位须等待，中断则台账保持原样")
                .arg(progress.from)
                .arg(progress.to);
        case MigrationProgress::Stage::Working:
            return QCoreApplication::translate("pairwick::ledger",
                                               "正在更新台账的结构：%1 / %2 个模块（%3%）")
                .arg(progress.done)
                .arg(progress.total)
                .arg(progress.total > 0 ? 100 * progress.done / progress.total : 100);
        case MigrationProgress::Stage::Done:
            break;
    }
    return QCoreApplication::translate("pairwick::ledger", "台账的结构已更新到版本 %1（%2 秒）")
        .arg(progress.to)
        .arg(progress.seconds, 0, 'f', 1);
}

}  // namespace pairwick::ledger
