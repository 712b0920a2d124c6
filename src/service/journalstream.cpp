// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/journalstream.h"

#include <sys/stat.h>
#include <QByteArrayList>
#include <QtGlobal>

namespace pairwick::service {

namespace {

// JOURNAL_STREAM is "DEVICE:INODE" of the stream systemd connected; a stream redirected since
// (a shell's 2>file inside the service) is another file and gets no prefix.
bool isJournalStream(std::FILE *stream) {
    const QByteArrayList parts = qgetenv("JOURNAL_STREAM").split(':');
    if (parts.size() != 2)
        return false;
    struct stat status {};
    if (::fstat(::fileno(stream), &status) != 0)
        return false;
    bool deviceValid = false;
    bool inodeValid = false;
    const qulonglong device = parts[0].toULongLong(&deviceValid);
    const qulonglong inode = parts[1].toULongLong(&inodeValid);
    return deviceValid && inodeValid && device == status.st_dev && inode == status.st_ino;
}

}  // namespace

QByteArray priorityPrefix(std::FILE *stream, Priority priority) {
    if (!isJournalStream(stream))
        return {};
    return '<' + QByteArray::number(int(priority)) + '>';
}

}  // namespace pairwick::service
