// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/devicechain.h"

#include <QDir>
#include <QFileInfo>

namespace pairwick::station {

namespace {

// More links than anyone chains on purpose; a loop of links ends here.
constexpr int MostLinks = 8;
// A way that changes under every look is watched as last seen, unchecked: the safety net's look
// is there for it.
constexpr int MostLooks = 4;

FolderEntry nearestEntry(const QString &path) {
    FolderEntry entry{QFileInfo(path).path(), QFileInfo(path).fileName()};
    while (!QFileInfo(entry.folder).isDir() && entry.folder != QDir::rootPath()) {
        entry.name = QFileInfo(entry.folder).fileName();
        entry.folder = QFileInfo(entry.folder).path();
    }
    return entry;
}

}  // namespace

QList<FolderEntry> entriesToDevice(const QString &device) {
    QList<FolderEntry> entries;
    QString path = QDir::cleanPath(QFileInfo(device).absoluteFilePath());
    for (int links = 0; links <= MostLinks; ++links) {
        const FolderEntry entry = nearestEntry(path);
        if (entries.contains(entry))
            break;
        entries.append(entry);
        const QFileInfo found(path);
        // Beyond a missing folder, or a device that is no link, there is nothing to follow.
        if (entry.folder != found.path() || !found.isSymLink())
            break;
        path = found.symLinkTarget();
    }
    return entries;
}

void watchWayTo(Sleeper &sleeper, const QString &device) {
    QList<FolderEntry> entries = entriesToDevice(device);
    for (int look = 0; look < MostLooks; ++look) {
        sleeper.watch(entries);
        QList<FolderEntry> now = entriesToDevice(device);
        if (now == entries)
            return;
        entries = std::move(now);
    }
    sleeper.watch(entries);
}

}  // namespace pairwick::station
