// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>

namespace pairwick::station {

namespace {

constexpr uint32_t FolderChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF;

QString nearestExisting(QString folder) {
    while (!QFileInfo(folder).isDir() && folder != QDir::rootPath() && !folder.isEmpty())
        folder = QFileInfo(folder).path();
    return folder;
}

void drain(int descriptor) {
    std::array<char, 4096> events{};
    while (::read(descriptor, events.data(), events.size()) > 0) {
    }
}

}  // namespace

Bell::Bell() : m_descriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Bell::~Bell() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void Bell::ring() {
    const uint64_t one = 1;
    if (m_descriptor >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_descriptor, &one, sizeof one);
    }
}

Sleeper::Sleeper(const Bell &bell)
    : m_bell(bell), m_inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

Sleeper::~Sleeper() {
    if (m_inotify >= 0)
        ::close(m_inotify);
}

void Sleeper::watchFolders(const QStringList &folders) {
    QStringList wanted;
    for (const QString &folder : folders) {
        const QString existing = nearestExisting(folder);
        if (!existing.isEmpty() && !wanted.contains(existing))
            wanted.append(existing);
    }
    if (m_inotify < 0 || wanted == m_watched)
        return;
    for (int watch : std::as_const(m_watches))
        ::inotify_rm_watch(m_inotify, watch);
    m_watches.clear();
    for (const QString &folder : wanted) {
        const int watch =
            ::inotify_add_watch(m_inotify, QFile::encodeName(folder).constData(), FolderChanges);
        if (watch >= 0)
            m_watches.append(watch);
    }
    m_watched = wanted;
}

bool Sleeper::sleep(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        std::array<pollfd, 2> waits{{{m_bell.descriptor(), POLLIN, 0}, {m_inotify, POLLIN, 0}}};
        const int ready = ::poll(waits.data(), m_inotify >= 0 ? 2 : 1,
                                 int(std::max<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0 && (waits[0].revents & POLLIN))
            return false;
        if (ready > 0 && (waits[1].revents & POLLIN)) {
            drain(m_inotify);
            // A folder that went away, or one that came: the next look watches anew.
            m_watched.clear();
        }
        return true;
    }
}

QStringList foldersOfDevice(const QString &path) {
    QStringList folders{QFileInfo(path).path()};
    const QFileInfo link(path);
    if (link.isSymLink())
        folders.append(QFileInfo(link.symLinkTarget()).path());
    return folders;
}

}  // namespace pairwick::station
