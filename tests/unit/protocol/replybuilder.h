// SPDX-License-Identifier: GPL-3.0-or-later
// Replies are put together here from the adapter's layout, piece by piece, so that the cut
// positions in the code are checked against the layout and not against themselves.
#pragma once

#include <QList>
#include <QString>

#include "protocol/replycuts.h"

namespace pairwick::protocol::test {

extern const QString LineEnd;
extern const QString OkTail;
extern const QString BoundAddress;

QString echo(const QString &query);

// Characters the tool must never look at; deliberately full of things that look meaningful.
QString skipped(qsizetype count);

// After the bound address the adapter lists its other slots: each an 11-character head with
// an empty value, then the final acknowledgement.
QString bindTail(int emptyEntries);

struct TextLayout {
    const char *name;
    QString query;
    qsizetype skippedBeforeValue;
    QString afterValue;
    TextCut cut;
    int fixedLength;
    QString typicalValue;
};

QList<TextLayout> textLayouts();

QString textReply(const TextLayout &layout, const QString &value);

QString uartReply(const QString &baudRate, const QString &gap, const QString &parity,
                  const QString &separator, const QString &stopBits);

}  // namespace pairwick::protocol::test
