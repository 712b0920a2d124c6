// SPDX-License-Identifier: GPL-3.0-or-later
#include "replybuilder.h"

namespace pairwick::protocol::test {

const QString LineEnd = QStringLiteral("\r\n");
const QString OkTail = QStringLiteral("\r\nOK\r\n");
const QString BoundAddress = QStringLiteral("0e:12:34:56:78:9a");

QString echo(const QString &query) {
    return query + LineEnd;
}

QString skipped(qsizetype count) {
    static const QString pattern = QStringLiteral("OK\r\n+:EN1 ");
    QString filler;
    for (qsizetype i = 0; i < count; ++i)
        filler += pattern.at(i % pattern.size());
    return filler;
}

QString bindTail(int emptyEntries) {
    QString tail = LineEnd;
    for (int entry = 1; entry <= emptyEntries; ++entry)
        tail += QStringLiteral("+BINDADDR%1=").arg(entry) + LineEnd;
    return tail + QStringLiteral("OK\r\n");
}

QList<TextLayout> textLayouts() {
    return {
        {"device name", QStringLiteral("AT+DEVICENAME?"), 0, OkTail, DeviceNameCut, 22,
         QStringLiteral("Dev 1")},
        {"version", QStringLiteral("AT+VER?"), 0, OkTail, VersionCut, 15,
         QStringLiteral("V1.0.0-20260101")},
        {"pin", QStringLiteral("AT+PIN?"), 11, OkTail, PinCut, 26, QStringLiteral("1234")},
        {"address", QStringLiteral("AT+ADDR?"), 11, OkTail, AddressCut, 27,
         QStringLiteral("0a:1b:2c:3d:4e:5f")},
        {"bound address", QStringLiteral("AT+BINDADDR?"), 11, bindTail(7), BindAddressCut, 122,
         BoundAddress},
    };
}

QString textReply(const TextLayout &layout, const QString &value) {
    return echo(layout.query) + skipped(layout.skippedBeforeValue) + value + layout.afterValue;
}

QString uartReply(const QString &baudRate, const QString &gap, const QString &parity,
                  const QString &separator, const QString &stopBits) {
    return echo(QStringLiteral("AT+UART?")) + baudRate + gap + parity + separator + stopBits +
           OkTail;
}

}  // namespace pairwick::protocol::test
