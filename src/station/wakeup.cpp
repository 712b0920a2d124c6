// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <array>
#include <cerrno>

namespace pairwick::station {

namespace {

constexpr uint32_t EntryChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                  IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// The folder is no longer where it was watched: the way to the device is to be found anew.
constexpr uint32_t FolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

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

void Sleeper::watch(const QList<FolderEntry> &entries) {
    if (m_inotify < 0)
        return;
    QHash<QString, int> watchOf;
    std::map<int, QStringList> namesWatched;
    for (const FolderEntry &entry : entries) {
        int watch = m_watchOf.value(entry.folder, watchOf.value(entry.folder, -1));
        if (watch < 0)
            watch = ::inotify_add_watch(m_inotify, QFile::encodeName(entry.folder).constData(),
                                        EntryChanges);
        if (watch < 0)
            continue;
        watchOf.insert(entry.folder, watch);
        if (!namesWatched[watch].contains(entry.name))
            namesWatched[watch].append(entry.name);
    }
    // Its IN_IGNORED comes for a watch no longer known, and wakes nothing.
    for (const auto &[watch, names] : m_namesWatched) {
        if (namesWatched.count(watch) == 0)
            ::inotify_rm_watch(m_inotify, watch);
    }
    m_watchOf = watchOf;
    m_namesWatched = namesWatched;
}

void Sleeper::forget(int watch) {
    // The kernel ends the watch of a deleted folder itself, but keeps one of a moved folder.
    ::inotify_rm_watch(m_inotify, watch);
    m_namesWatched.erase(watch);
    m_watchOf.removeIf([watch](const auto &folder) { return folder.value() == watch; });
}

bool Sleeper::readEvents() {
    alignas(inotify_event) std::array<char, 4096> buffer{};
    bool concerns = false;
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer.data(), buffer.size());
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return concerns;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer.data() + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            // Events were lost: any of them may have been one watched for.
            if (event->mask & IN_Q_OVERFLOW) {
                concerns = true;
                continue;
            }
            const auto watched = m_namesWatched.find(event->wd);
            if (watched == m_namesWatched.end())
                continue;
            if (event->mask & FolderGone) {
                forget(event->wd);
                concerns = true;
            } else if (event->len > 0) {
                concerns = concerns || watched->second.contains(QFile::decodeName(event->name));
            }
        }
    }
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
        // A change to another entry of a watched folder, such as a ledger's journal beside the
        // port map's links, sleeps on.
        if (ready > 0 && (waits[1].revents & POLLIN) && !readEvents())
            continue;
        return true;
    }
}

}  // namespace pairwick::station
