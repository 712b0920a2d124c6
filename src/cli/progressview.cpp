// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progressview.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

namespace pairwick::cli {

namespace {

constexpr int BarWidth = 10;

// Rows and columns, or none where the stream is no terminal that tells them.
std::optional<winsize> terminalSize(std::FILE *stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
        return std::nullopt;
    return size;
}

}  // namespace

ProgressView::ProgressView(const QStringList &ports, bool quiet, std::FILE *stream)
    : m_ports(ports),
      m_lines(ports.size()),
      m_counts(std::size_t(ports.size())),
      m_news(std::size_t(ports.size())),
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
    if (m_lines[index] != step)
        m_news[std::size_t(index)] = ++m_shows;
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

QList<qsizetype> ProgressView::linesThatFit(int rows, qsizetype *hidden) const {
    QList<qsizetype> lines;
    const qsizetype last = m_ports.size() - 1;
    if (m_ports.size() <= rows) {
        for (qsizetype index = 0; index <= last; ++index)
            lines.append(index);
        *hidden = 0;
        return lines;
    }
    // One row tells how many are hidden; the last line (the totals, where there are any) stays.
    QList<qsizetype> byNews;
    for (qsizetype index = 0; index < last; ++index)
        byNews.append(index);
    std::stable_sort(byNews.begin(), byNews.end(), [this](qsizetype a, qsizetype b) {
        return m_news[std::size_t(a)] > m_news[std::size_t(b)];
    });
    lines = byNews.mid(0, std::max(0, rows - 2));
    std::sort(lines.begin(), lines.end());
    lines.append(last);
    *hidden = m_ports.size() - lines.size();
    return lines;
}

void ProgressView::redraw() {
    // Back to the first line drawn, then every line anew, each on one row: a line that wrapped
    // or a scroll would leave the cursor short of the top, or above it.
    if (m_drawnRows > 0)
        std::fprintf(m_stream, "\x1b[%dA", m_drawnRows);
    const std::optional<winsize> size = terminalSize(m_stream);
    // The row below the lines keeps the cursor, so the terminal never scrolls them away.
    const int rows = size ? std::max(1, size->ws_row - 1) : int(m_ports.size());
    const qsizetype columns = size ? size->ws_col - 1 : -1;
    qsizetype hidden = 0;
    const QList<qsizetype> lines = linesThatFit(rows, &hidden);
    const qsizetype width =
        std::max_element(m_ports.begin(), m_ports.end(), [](const QString &a, const QString &b) {
            return a.size() < b.size();
        })->size();
    const auto put = [&](const QString &text) {
        std::fprintf(m_stream, "\r\x1b[K%s\n", qPrintable(text.left(columns)));
    };
    // Where a row is left for it, above the last line.
    const bool countRow = hidden > 0 && rows >= 2;
    for (const qsizetype index : lines) {
        if (countRow && index == lines.last())
            put(QStringLiteral("(%1 more not shown)").arg(hidden));
        put(m_ports[index].leftJustified(width) + QStringLiteral("  ") + m_lines[index]);
    }
    // What a taller draw left below.
    std::fputs("\x1b[J", m_stream);
    std::fflush(m_stream);
    m_drawnRows = int(lines.size()) + (countRow ? 1 : 0);
}

}  // namespace pairwick::cli
