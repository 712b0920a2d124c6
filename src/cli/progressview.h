// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <cstdio>
#include <vector>

#include "service/journalstream.h"

namespace pairwick::cli {

// Progress on standard error: on a terminal one live line per port, rewritten in place;
// otherwise one plain line per event, so a log file reads in order. The live lines fit the
// terminal: each is cut to its width, and with fewer rows than ports the last line and the
// ports with the latest news are shown, with a count of the rest, so the cursor never leaves
// the lines drawn.
class ProgressView {
public:
    ProgressView(const QStringList &ports, bool quiet, std::FILE *stream = stderr);

    // A step in progress, or the port's outcome at the end; the priority marks the plain line
    // for the journal.
    void show(int index, const QString &step, service::Priority priority = service::Priority::Info);
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
    // The lines that fit in rows, in order; hidden tells how many do not.
    QList<qsizetype> linesThatFit(int rows, qsizetype *hidden) const;
    void redraw();

    QStringList m_ports;
    QStringList m_lines;
    std::vector<Count> m_counts;
    std::vector<quint64> m_news;  // when each line last changed, in shows
    quint64 m_shows = 0;
    int m_drawnRows = 0;
    std::FILE *m_stream;
    bool m_quiet;
    bool m_live;
};

}  // namespace pairwick::cli
