// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <cstdio>

namespace pairwick::cli {

// Progress on standard error: on a terminal one live line per port, rewritten in place;
// otherwise one plain line per event, so a log file reads in order.
class ProgressView {
public:
    ProgressView(const QStringList &ports, bool quiet, std::FILE *stream = stderr);

    // A step in progress, or the port's outcome at the end.
    void show(int index, const QString &step);

private:
    void redraw();

    QStringList m_ports;
    QStringList m_lines;
    std::FILE *m_stream;
    bool m_quiet;
    bool m_live;
    bool m_drawn = false;
};

}  // namespace pairwick::cli
