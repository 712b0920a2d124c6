// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// An idle station sleeps until something happens: the kernel says when a folder that holds a
// slot's device changes (inotify), a bell says when the station stops, and a slow poll is the
// safety net. A thread that slept in short slices to notice either would wake the machine tens
// of times a second for nothing.
namespace pairwick::station {

// Rung once, it stays rung: every sleep on it ends at once from then on.
class Bell {
public:
    Bell();
    ~Bell();
    Bell(const Bell &) = delete;
    Bell &operator=(const Bell &) = delete;

    void ring();
    int descriptor() const { return m_descriptor; }

private:
    int m_descriptor;
};

// One thread's sleeps. Without a working inotify the sleeps run to their end: a slower slot,
// never a wrong one.
class Sleeper {
public:
    explicit Sleeper(const Bell &bell);
    ~Sleeper();
    Sleeper(const Sleeper &) = delete;
    Sleeper &operator=(const Sleeper &) = delete;

    // The folders whose entries coming, going or changing end a sleep; a folder that does not
    // exist yet is watched through the nearest one that does.
    void watchFolders(const QStringList &folders);
    // Up to milliseconds; false when the bell rang.
    bool sleep(int milliseconds);

private:
    const Bell &m_bell;
    int m_inotify;
    QStringList m_watched;
    QList<int> m_watches;
};

// The folders to watch for a device path: its own folder and, when it is a link, its target's.
QStringList foldersOfDevice(const QString &path);

}  // namespace pairwick::station
