// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::adaptersim {

// The folder where the tool looks up COMn: the explicit one if given, else $PAIRWICK_PORTS,
// else pairwick/ports under the XDG configuration folder.
QString portMapFolder(const QString &explicitFolder);

// The comN link in the port map that points the tool at the pseudo-terminal, removed again
// when the simulator ends.
class PortLink {
public:
    PortLink() = default;
    ~PortLink();
    PortLink(const PortLink &) = delete;
    PortLink &operator=(const PortLink &) = delete;

    bool create(const QString &folder, const QString &name, const QString &target, QString *error);
    // Points the existing link elsewhere in one step, never leaving the name without a link.
    bool retarget(const QString &target, QString *error);

    const QString &path() const { return m_path; }

private:
    void remove();
    bool point(const QString &path, const QString &target, QString *error);

    QString m_path;
    QString m_target;
};

}  // namespace pairwick::adaptersim
