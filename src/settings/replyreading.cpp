// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/replyreading.h"

#include <QCoreApplication>

#include "protocol/tokens.h"

namespace pairwick::settings {

namespace {

QString quoted(const QString &text) {
    return u'"' + text + u'"';
}

void takeToken(Key key, const QString &token, const QString &value, AdapterSettings &into,
               QStringList &problems) {
    if (value.isNull()) {
        problems.append(
            QCoreApplication::translate("pairwick::settings", "%1 %2 不是适配器可能报告的值")
                .arg(keyName(key), quoted(token)));
        return;
    }
    into.set(key, value);
}

QString tableValue(const QStringList &table, const QString &token) {
    return protocol::findToken(table, token) >= 0 ? token : QString();
}

}  // namespace

QStringList readReply(const ReadStep &step, const QString &reply, AdapterSettings &into) {
    QStringList problems;
    switch (step.kind) {
        case ReadKind::Text: {
            const std::optional<QString> value = protocol::cutText(reply, step.cut);
            if (value)
                into.set(step.key, *value);
            else
                problems.append(
                    QCoreApplication::translate("pairwick::settings", "回复太短，容不下 %1")
                        .arg(keyName(step.key)));
            break;
        }
        case ReadKind::Uart: {
            const protocol::UartPieces pieces = protocol::cutUart(reply);
            if (!pieces.baudRate) {
                problems.append(QCoreApplication::translate("pairwick::settings",
                                                            "回复太短，容不下 UART 参数"));
                break;
            }
            takeToken(Key::Baud, *pieces.baudRate,
                      tableValue(protocol::baudRateEntries(), *pieces.baudRate), into, problems);
            takeToken(Key::Parity, pieces.parity,
                      tableValue(protocol::parityLetters(), pieces.parity), into, problems);
            takeToken(Key::Stop, pieces.stopBits,
                      tableValue(protocol::stopBitEntries(), pieces.stopBits), into, problems);
            break;
        }
        case ReadKind::Role: {
            const QString token = protocol::cutRole(reply);
            const std::optional<protocol::Role> role = protocol::roleFromToken(token);
            takeToken(Key::Role, token,
                      role ? (*role == protocol::Role::Master ? Master : Slave) : QString(), into,
                      problems);
            break;
        }
        case ReadKind::Messages: {
            const QString token = protocol::cutMessageState(reply);
            const std::optional<bool> enabled = protocol::messagesEnabledFromToken(token);
            takeToken(Key::Messages, token, enabled ? (*enabled ? On : Off) : QString(), into,
                      problems);
            break;
        }
    }
    return problems;
}

}  // namespace pairwick::settings
