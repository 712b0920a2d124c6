// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>

// An idle station sleeps until something happens: the kernel says when an entry on the way to a
// slot's device comes, goes or changes (inotify), a bell says when the station stops, and a slow
// poll is the safety net. A thread that slept in short slices to notice either would wake the
// machine tens of times a second for nothing.
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

// A name in a folder, there or not.
struct FolderEntry {
    QString folder;
    QString name;
    bool operator==(const FolderEntry &) const = default;
};

// One thread's sleeps. Without a working inotify the sleeps run to their end: a slower slot,
// never a wrong one.
class Sleeper {
public:
    explicit Sleeper(const Bell &bell);
    ~Sleeper();
    Sleeper(const Sleeper &) = delete;
    Sleeper &operator=(const Sleeper &) = delete;

    // The entries whose coming, going or changing ends a sleep, in place of the ones before.
    // A folder stays watched from one call to the next: taking a watch off is itself an event.
    void watch(const QList<FolderEntry> &entries);
    // Up to milliseconds; false when the bell rang. Other entries of a watched folder changing
    // do not end it.
    bool sleep(int milliseconds);

private:
    // Whether the events waiting concern a watched entry, or a watched folder that went.
    bool readEvents();
    void forget(int watch);

    const Bell &m_bell;
    int m_inotify;
    QHash<QString, int> m_watchOf;              // by folder
    std::map<int, QStringList> m_namesWatched;  // by watch: a folder may go by two paths
};

}  // namespace pairwick::station
