// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progressview.h"

#include <unistd.h>

#include <algorithm>

namespace pairwick::cli {

namespace {

constexpr int BarWidth = 10;

}  // namespace

ProgressView::ProgressView(const QStringList &ports, bool quiet, std::FILE *stream)
    : m_ports(ports),
      m_lines(ports.size()),
      m_counts(std::size_t(ports.size())),
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

void ProgressView::show(int index, const QString &step, int done, int total) {
    Count &count = m_counts[std::size_t(index)];
    count = {done, total};
    show(index, countText(count) + u' ' + step);
}

void ProgressView::showOutcome(int index, const QString &outcome, bool whole) {
    const Count count = m_counts[std::size_t(index)];
    show(index, outcome, whole ? count.total : count.done, count.total);
}

QString ProgressView::countText(const Count &count) const {
    const QString fraction = QStringLiteral("%1/%2").arg(count.done).arg(count.total);
    if (!m_live || count.total <= 0)
        return fraction;
    const int filled = std::clamp(count.done * BarWidth / count.total, 0, BarWidth);
    return QStringLiteral("[%1%2] %3")
        .arg(QString(filled, u'#'), QString(BarWidth - filled, u'.'), fraction);
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
