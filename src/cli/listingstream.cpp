// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/listingstream.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/texttable.h"
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
        case Form::JsonLines:
            write(ledger::jsonLine(m_columns, cells));
            return;
        case Form::Table:
            break;
    }
    const QStringList texts = inertCells(ledger::cellTexts(cells));
    if (!m_widths.isEmpty()) {
        writeTableLine(texts);
        return;
    }
    m_held.append(texts);
    if (m_held.size() > HeldRows)
        setWidths();
}

QString ListingStream::finish() {
    if (m_form == Form::Table && m_widths.isEmpty())
        setWidths();
    if (std::fflush(m_out) != 0 && m_failure.isEmpty())
        m_failure = QString::fromLocal8Bit(std::strerror(errno));
    return m_failure;
}

void ListingStream::write(const QString &text) {
    write(text.toUtf8());
}

// A full disk or a closed file fails every write after the first; the first says why.
void ListingStream::write(const QByteArray &bytes) {
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_out) !=
            std::size_t(bytes.size()) &&
        m_failure.isEmpty())
        m_failure = QString::fromLocal8Bit(std::strerror(errno));
}

void ListingStream::writeTableLine(const QStringList &cells) {
    write(tableLine(cells, m_widths));
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
