// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portlink.h"

#include <QString>

#include <optional>

namespace pairwick::adaptersim {

// The by-path link udev makes for a plugged-in serial device, in a folder tree of the
// simulator's own: it comes with the device's terminal and goes with it, and its folders go
// with the last link in them, so that a port map's link to it is left pointing at nothing.
class DeviceLink {
public:
    // The link is root/serial/by-path/<a by-path name made of the port's link name>.
    DeviceLink(const QString &root, const QString &port);

    const QString &path() const { return m_path; }
    // Points the link at the terminal as udev does, by a path relative to the link's folder.
    bool plugIn(const QString &terminal, QString *error);
    void unplug();

private:
    QString m_path;
    std::optional<PortLink> m_link;
};

}  // namespace pairwick::adaptersim
