// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/listingstream.h"

#include <algorithm>

#include "ledger/csvtable.h"
#include "ledger/ledgerlisting.h"

namespace pairwick::cli {

namespace {

// Enough rows to set a table's widths by; few enough to hold.
constexpr qsizetype HeldRows = 1000;

}  // namespace

ListingStream::ListingStream(std::FILE *out, Form form, QStringList columns)
    : m_out(out), m_form(form), m_columns(std::move(columns)) {
    if (m_form == Form::Csv)
        write(ledger::csvLine(m_columns));
    if (m_form == Form::Table) {
        QStringList header;
        for (const QString &column : m_columns)
            header.append(column.toUpper());
        m_held.append(header);
    }
}

void ListingStream::row(const QJsonArray &cells) {
    switch (m_form) {
        case Form::Csv:
            write(ledger::csvLine(ledger::cellTexts(cells)));
            return;
        case Form::JsonLines: {
            const QByteArray line = ledger::jsonLine(m_columns, cells);
            std::fwrite(line.constData(), 1, std::size_t(line.size()), m_out);
            return;
        }
        case Form::Table:
            break;
    }
    const QStringList texts = ledger::cellTexts(cells);
    if (!m_widths.isEmpty()) {
        writeTableLine(texts);
        return;
    }
    m_held.append(texts);
    if (m_held.size() > HeldRows)
        setWidths();
}

void ListingStream::finish() {
    if (m_form == Form::Table && m_widths.isEmpty())
        setWidths();
    std::fflush(m_out);
}

void ListingStream::write(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_out);
}

void ListingStream::writeTableLine(const QStringList &cells) {
    QString line;
    for (qsizetype column = 0; column < cells.size(); ++column)
        line += cells[column].leftJustified(m_widths.value(column)) + QStringLiteral("  ");
    write(line.trimmed() + u'\n');
}

void ListingStream::setWidths() {
    m_widths.fill(0, m_columns.size());
    for (const QStringList &held : std::as_const(m_held)) {
        for (qsizetype column = 0; column < held.size() && column < m_widths.size(); ++column)
            m_widths[column] = std::max(m_widths[column], held[column].size());
    }
    for (const QStringList &held : std::exchange(m_held, {}))
        writeTableLine(held);
}

}  // namespace pairwick::cli
