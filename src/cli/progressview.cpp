// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progressview.h"

#include <unistd.h>

namespace pairwick::cli {

ProgressView::ProgressView(const QStringList &ports, bool quiet, std::FILE *stream)
    : m_ports(ports),
      m_lines(ports.size()),
      m_stream(stream),
      m_quiet(quiet),
      m_live(::isatty(::fileno(stream)) != 0) {}

void ProgressView::show(int index, const QString &step) {
    if (m_quiet)
        return;
    if (!m_live) {
        std::fprintf(m_stream, "%s: %s\n", qPrintable(m_ports[index]), qPrintable(step));
        std::fflush(m_stream);
        return;
    }
    m_lines[index] = step;
    redraw();
}

void ProgressView::redraw() {
    // Back to the first port's line, then every line anew.
    if (m_drawn)
        std::fprintf(m_stream, "\x1b[%dA", int(m_ports.size()));
    const qsizetype width =
        std::max_element(m_ports.begin(), m_ports.end(), [](const QString &a, const QString &b) {
            return a.size() < b.size();
        })->size();
    for (qsizetype index = 0; index < m_ports.size(); ++index) {
        std::fprintf(m_stream, "\r\x1b[K%s  %s\n", qPrintable(m_ports[index].leftJustified(width)),
                     qPrintable(m_lines[index]));
    }
    std::fflush(m_stream);
    m_drawn = true;
}

}  // namespace pairwick::cli
