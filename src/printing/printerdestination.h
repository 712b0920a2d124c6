// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <variant>

#include "printing/printjob.h"

namespace pairwick::printing {

// Where labels go, as --printer names it: tcp:HOST:PORT (raw, as label printers listen on 9100),
// a device path (/dev/usb/lp0), cups:QUEUE (through lp), or dir:FOLDER (a file a label).
struct PrinterDestination {
    enum class Kind { Tcp, Device, Cups, Folder };
    Kind kind = Kind::Tcp;
    QString target;  // the host, the device, the queue or the folder
    quint16 port = 0;
    QString text;  // as given, as the ledger records it

    static std::variant<PrinterDestination, QString> parse(const QString &text);
};

// What can be told before the first label: a folder that is none, a device this login may not
// open, a CUPS queue that does not exist or lp that is not installed. Empty when none; a printer
// that is merely away is no reason to refuse a start.
QString checkDestination(const PrinterDestination &destination);

// Sends one label, all its copies, or tells why not. Blocks: call it from a thread of its own.
SendOutcome sendLabel(const PrinterDestination &destination, const PrintJob &job);

// The senders of each kind.
SendOutcome sendOverTcp(const PrinterDestination &destination, const PrintJob &job);
SendOutcome sendToDevice(const PrinterDestination &destination, const PrintJob &job);
SendOutcome sendToCups(const PrinterDestination &destination, const PrintJob &job);
SendOutcome sendToFolder(const PrinterDestination &destination, const PrintJob &job);
QString checkCupsQueue(const QString &queue);
QString checkDevice(const QString &path);

}  // namespace pairwick::printing
