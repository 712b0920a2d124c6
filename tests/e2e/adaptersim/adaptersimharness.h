// SPDX-License-Identifier: GPL-3.0-or-later
// What the simulated adapter says and how its log reads, for the groups of its test.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace pairwick::adaptersim::test {

struct Exchange {
    QByteArray command;
    // Empty when the adapter must stay silent.
    QByteArray reply;
};
using Script = QList<Exchange>;

}  // namespace pairwick::adaptersim::test

Q_DECLARE_METATYPE(pairwick::adaptersim::test::Exchange)
Q_DECLARE_METATYPE(pairwick::adaptersim::test::Script)

namespace pairwick::adaptersim::test {

extern const QByteArray factoryBindReply;
// The factory state's queries with their replies.
extern const Script factoryQueries;

Exchange accepted(const QByteArray &command);
Exchange refused(const QByteArray &command);
Exchange answered(const QByteArray &query, const QByteArray &valueLine);
Exchange unanswered(const QByteArray &command);

// The log's lines of one kind, without time stamp and kind.
QStringList logged(const QByteArray &log, const QString &kind);
bool isLinkGone(const QString &path);

}  // namespace pairwick::adaptersim::test
