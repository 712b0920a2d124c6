// SPDX-License-Identifier: GPL-3.0-or-later
// A folder as a printer: a file a label, for trials and for printers that another system feeds.
#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include "printing/printerdestination.h"

namespace pairwick::printing {

// BATCH-SEQ.zpl (or .pdf), then BATCH-SEQ-2.zpl ... for its copies and reprints: a file already
// there is another label, never overwritten. A batch's name is free text, so it is
// percent-encoded, as the spool's station name is.
SendOutcome sendToFolder(const PrinterDestination &destination, const PrintJob &job) {
    const QString suffix =
        job.kind == DocumentKind::Zpl ? QStringLiteral(".zpl") : QStringLiteral(".pdf");
    const QString stem =
        QStringLiteral("%1/%2-%3")
            .arg(destination.target, QString::fromLatin1(QUrl::toPercentEncoding(job.batch)))
            .arg(job.seq);
    if (const auto stopped = job.handOver())
        return *stopped;
    int number = 1;
    for (int copy = 0; copy < job.copies; ++copy) {
        QString path;
        do {
            path = number == 1 ? stem + suffix
                               : QStringLiteral("%1-%2%3").arg(stem).arg(number).arg(suffix);
            ++number;
        } while (QFileInfo::exists(path));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(job.document) != job.document.size() ||
            !file.commit())
            return SendOutcome::away(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    return SendOutcome::sent();
}

}  // namespace pairwick::printing
