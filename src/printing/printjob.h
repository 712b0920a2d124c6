// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace pairwick::printing {

// What a printer is sent: ZPL for a label printer, a PDF page for any other.
enum class DocumentKind { Zpl, Pdf };

// How a label went. A printer that is away (refused, unplugged, out of paper, a peer that does
// not take or answers nonsense) gets the label again later, whole; a destination that cannot
// work however long one waits (no such queue, no right to the device) is a mistake to report.
struct SendOutcome {
    enum class Kind { Sent, Away, Misconfigured };
    Kind kind = Kind::Sent;
    QString reason;

    static SendOutcome sent() { return {}; }
    static SendOutcome away(QString reason) { return {Kind::Away, std::move(reason)}; }
    static SendOutcome misconfigured(QString reason) {
        return {Kind::Misconfigured, std::move(reason)};
    }
};

struct PrintJob {
    QByteArray document;
    DocumentKind kind = DocumentKind::Zpl;
    int copies = 1;
    // The unit's batch and number: a file's name in a folder, a job's title in CUPS.
    QString batch;
    qint64 seq = 0;
    // Called once the printer is reached, just before its first byte goes: from there on the
    // label may have printed whatever happens next, and before it it cannot have. Returns why not
    // to go on, empty to go on.
    std::function<QString()> reached = {};

    // What a sender returns instead of sending when reached says not to go on.
    std::optional<SendOutcome> handOver() const {
        const QString stop = reached ? reached() : QString();
        if (stop.isEmpty())
            return std::nullopt;
        return SendOutcome::misconfigured(stop);
    }
};

}  // namespace pairwick::printing
