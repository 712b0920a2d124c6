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

// Columns a character takes on a terminal: two for the wide East Asian scripts and signs (a
// Chinese adapter or batch name), none for a mark that combines with the one before.
int terminalColumns(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> Wide[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},  {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},  {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},  {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)
        return 0;
    for (const auto &[first, last] : Wide) {
        if (c >= first && c <= last)
            return 2;
    }
    return 1;
}

// How much of text, in UTF-16 units, fits in columns of a terminal (all of it when columns < 0).
qsizetype lengthThatFits(const QString &text, qsizetype columns) {
    if (columns < 0)
        return text.size();
    qsizetype used = 0;
    for (qsizetype at = 0; at < text.size();) {
        const bool pair =
            text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
        used += terminalColumns(pair ? QChar::surrogateToUcs4(text[at], text[at + 1])
                                     : text[at].unicode());
        if (used > columns)
            return at;
        at += pair ? 2 : 1;
    }
    return text.size();
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

void ProgressView::show(int index, const QString &step, service::Priority priority) {
    if (m_quiet)
        return;
    if (!m_live) {
        std::fprintf(m_stream, "%s%s: %s\n",
                     service::priorityPrefix(m_stream, priority).constData(),
                     qPrintable(m_ports[index]), qPrintable(step));
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
        std::fprintf(m_stream, "\r\x1b[K%s\n",
                     text.left(lengthThatFits(text, columns)).toUtf8().constData());
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
