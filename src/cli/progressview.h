// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <cstdio>
#include <vector>

namespace pairwick::cli {

// Progress on standard error: on a terminal one live line per port, rewritten in place;
// otherwise one plain line per event, so a log file reads in order.
class ProgressView {
public:
    ProgressView(const QStringList &ports, bool quiet, std::FILE *stream = stderr);

    // A step in progress, or the port's outcome at the end.
    void show(int index, const QString &step);
    // A step in progress after done of total steps: a bar on a terminal, the count elsewhere.
    void show(int index, const QString &step, int done, int total);
    // The port's outcome, after the steps counted so far, or after all of them when it is whole.
    void showOutcome(int index, const QString &outcome, bool whole);

private:
    struct Count {
        int done = 0;
        int total = 0;
    };

    QString countText(const Count &count) const;
    void redraw();

    QStringList m_ports;
    QStringList m_lines;
    std::vector<Count> m_counts;
    std::FILE *m_stream;
    bool m_quiet;
    bool m_live;
    bool m_drawn = false;
};

}  // namespace pairwick::cli
