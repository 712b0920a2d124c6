// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/csvreader.h"

#include <QCoreApplication>

namespace pairwick::station {

namespace {

class CsvScanner {
public:
    explicit CsvScanner(const QString &text) : m_text(text) {}

    CsvContent content() {
        CsvContent content;
        while (!atEnd()) {
            if (takeLineEnd())
                continue;
            CsvRecord record{m_line, {}};
            for (;;) {
                std::optional<QString> cell = takeCell(record);
                if (!cell) {
                    content.error = m_error;
                    return content;
                }
                record.cells.append(*cell);
                if (atEnd() || takeLineEnd())
                    break;
                ++m_position;  // the comma
            }
            content.records.append(record);
        }
        return content;
    }

private:
    bool atEnd() const { return m_position >= m_text.size(); }
    QChar current() const { return m_text[m_position]; }

    bool takeLineEnd() {
        if (current() == u'\n') {
            ++m_position;
        } else if (current() == u'\r' && m_position + 1 < m_text.size() &&
                   m_text[m_position + 1] == u'\n') {
            m_position += 2;
        } else {
            return false;
        }
        ++m_line;
        return true;
    }

    bool atCellEnd() const {
        return atEnd() || current() == u',' || current() == u'\n' ||
               (current() == u'\r' && m_position + 1 < m_text.size() &&
                m_text[m_position + 1] == u'\n');
    }

    std::optional<QString> fail(const CsvRecord &record, const QString &message) {
        m_error = CsvError{m_line, record.cells.size(), message};
        return std::nullopt;
    }

    std::optional<QString> takeCell(const CsvRecord &record) {
        if (!atEnd() && current() == u'"')
            return takeQuotedCell(record);
        const qsizetype start = m_position;
        while (!atCellEnd()) {
            if (current() == u'"')
                return fail(
                    record,
                    QCoreApplication::translate(
                        "pairwick::station",
                        "未加引号的单元格里有引号；请给整个单元格加引号，并把其中的引号写两次"));
            ++m_position;
        }
        return m_text.mid(start, m_position - start);
    }

    std::optional<QString> takeQuotedCell(const CsvRecord &record) {
        const qsizetype openedOn = m_line;
        QString cell;
        ++m_position;
        for (;;) {
            if (atEnd()) {
                m_line = openedOn;
                return fail(record, QCoreApplication::translate("pairwick::station",
                                                                "这里开始的引号没有结束"));
            }
            const QChar c = current();
            ++m_position;
            if (c == u'\n')
                ++m_line;
            if (c != u'"') {
                cell.append(c);
            } else if (!atEnd() && current() == u'"') {
                cell.append(c);
                ++m_position;
            } else {
                break;
            }
        }
        if (!atCellEnd())
            return fail(record,
                        QCoreApplication::translate(
                            "pairwick::station",
                            "结束引号之后还有文字；请给整个单元格加引号，并把其中的引号写两次"));
        return cell;
    }

    const QString &m_text;
    qsizetype m_position = 0;
    qsizetype m_line = 1;
    CsvError m_error;
};

}  // namespace

CsvContent readCsv(const QString &text) {
    return CsvScanner(text).content();
}

}  // namespace pairwick::station
