// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/valuesfile.h"

#include <QCoreApplication>
#include <QList>
#include <QStringDecoder>

#include "station/csvreader.h"
#include "station/unitvalue.h"

namespace pairwick::station {

namespace {

using settings::Key;

const QString SeqColumn = QStringLiteral("seq");
const QString AddressColumn = QStringLiteral("address");
constexpr qsizetype AddressDigitCount = 12;

// Strict UTF-8 (a BOM passed over); the first line that fails names the fault.
std::optional<QString> decode(const QByteArray &content, const QString &source, QString *error) {
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder(content);
    if (!decoder.hasError())
        return text;
    qsizetype line = 1;
    for (const QByteArray &bytes : content.split('\n')) {
        QStringDecoder lineDecoder(QStringConverter::Utf8);
        [[maybe_unused]] const QString decoded = lineDecoder(bytes);
        if (lineDecoder.hasError())
            break;
        ++line;
    }
    *error = QCoreApplication::translate("pairwick::station",
                                         "%1 第 %2 行：不是有效的 UTF-8；请把文件存为 UTF-8")
                 .arg(source)
                 .arg(line);
    return std::nullopt;
}

QString writableKeys() {
    QStringList names;
    for (Key key : settings::AllKeys) {
        if (settings::isWritable(key))
            names.append(settings::keyName(key));
    }
    return names.join(QStringLiteral(", "));
}

std::optional<QString> seqKey(const QString &cell) {
    for (QChar c : cell) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 seq = cell.toLongLong(&ok);
    return ok ? std::optional(QString::number(seq)) : std::nullopt;
}

// Colons and dashes may separate the digits, as the adapter and people write them.
std::optional<QString> addressKey(const QString &cell) {
    const QString digits = addressDigits(cell);
    const qsizetype separators = cell.count(u':') + cell.count(u'-');
    if (digits.size() != AddressDigitCount || digits.size() + separators != cell.size())
        return std::nullopt;
    return digits;
}

// Every method returns its problem, empty when there is none.
class ValuesFileParser {
public:
    explicit ValuesFileParser(const QString &source) { m_table.source = source; }

    const ValuesTable &table() const { return m_table; }

    QString where(qsizetype line, qsizetype cell) const {
        const QString at = QCoreApplication::translate("pairwick::station", "%1 第 %2 行的列")
                               .arg(m_table.source)
                               .arg(line);
        if (cell < m_header.size())
            return QStringLiteral("%1 \"%2\"").arg(at, m_header[cell]);
        return QStringLiteral("%1 %2").arg(at).arg(cell + 1);
    }

    QString readHeader(const CsvRecord &header) {
        m_header = header.cells;
        std::optional<qsizetype> picker;
        for (qsizetype i = 0; i < m_header.size(); ++i) {
            const QString &name = m_header[i];
            const QString at = where(header.line, i);
            const bool picks = name == SeqColumn || name == AddressColumn;
            const std::optional<Key> key = settings::keyFromName(name);
            if (m_header.indexOf(name) != i)
                return QCoreApplication::translate("pairwick::station", "%1：这一列出现了两次")
                    .arg(at);
            if (picks && picker)
                return QCoreApplication::translate(
                           "pairwick::station",
                           "%1：模块按 \"seq\" 或按 \"address\" 挑选，不能两者都用")
                    .arg(at);
            if (!picks && (!key || !settings::isWritable(*key)))
                return QCoreApplication::translate(
                           "pairwick::station",
                           "%1：不是值文件的列；列应为 seq 或 address，以及 %2")
                    .arg(at, writableKeys());
            if (picks) {
                picker = i;
                m_table.pickBy =
                    name == SeqColumn ? ValuesTable::PickBy::Seq : ValuesTable::PickBy::Address;
            }
            m_keys.append(key);
        }
        if (!picker)
            return QCoreApplication::translate(
                       "pairwick::station",
                       "%1 第 %2 行：没有用来挑选模块的 \"seq\" 或 \"address\" 列")
                .arg(m_table.source)
                .arg(header.line);
        m_picker = *picker;
        return QString();
    }

    QString readRow(const CsvRecord &row) {
        if (row.cells.size() != m_header.size())
            return QCoreApplication::translate("pairwick::station",
                                               "%1：这一行有 %2 个单元格，而第一行有 %3 列")
                .arg(where(row.line, std::min(row.cells.size(), m_header.size())))
                .arg(row.cells.size())
                .arg(m_header.size());
        QString unit;
        const QString unitProblem = readUnit(row, &unit);
        if (!unitProblem.isEmpty())
            return unitProblem;
        // An address row's number is given only at the station. No number is the shortest, so
        // nothing that could fit is refused here; rulesProblem() checks it at the first number.
        const TemplateContext context = m_table.pickBy == ValuesTable::PickBy::Seq
                                            ? TemplateContext{unit.toLongLong(), SampleAddress}
                                            : TemplateContext{0, unit};
        settings::AdapterSettings values;
        for (qsizetype i = 0; i < row.cells.size(); ++i) {
            if (i == m_picker || row.cells[i].isEmpty())
                continue;
            QString problem;
            if (!fillValue(*m_keys[i], row.cells[i], context, sampleDigits, &problem))
                return QStringLiteral("%1: %2").arg(where(row.line, i), problem);
            values.set(*m_keys[i], row.cells[i]);
        }
        m_table.rows.insert(unit, values);
        m_table.lines.insert(unit, row.line);
        return QString();
    }

private:
    QString readUnit(const CsvRecord &row, QString *unit) const {
        const QString &cell = row.cells[m_picker];
        const QString at = where(row.line, m_picker);
        const bool bySeq = m_table.pickBy == ValuesTable::PickBy::Seq;
        const std::optional<QString> key = rowKey(m_table.pickBy, cell);
        if (!key && bySeq)
            return QCoreApplication::translate("pairwick::station",
                                               "%1：\"%2\" 不是模块编号（须为 0 或更大的整数）")
                .arg(at, cell);
        if (!key)
            return QCoreApplication::translate("pairwick::station",
                                               "%1：\"%2\" 不是 %3 位十六进制数字的地址")
                .arg(at, cell)
                .arg(AddressDigitCount);
        if (m_table.lines.contains(*key))
            return QCoreApplication::translate("pairwick::station",
                                               "%1：模块 \"%2\" 已在第 %3 行有一行")
                .arg(at, cell)
                .arg(m_table.lines.value(*key));
        *unit = *key;
        return QString();
    }

    ValuesTable m_table;
    QStringList m_header;
    QList<std::optional<Key>> m_keys;  // none in the picker's column
    qsizetype m_picker = 0;
};

QString parseRecords(const CsvContent &content, ValuesFileParser &parser) {
    if (content.records.isEmpty() && !content.error)
        return QCoreApplication::translate(
                   "pairwick::station",
                   "%1：为空；它的第一行应列出各列：seq 或 address，以及各个键")
            .arg(parser.table().source);
    for (qsizetype i = 0; i < content.records.size(); ++i) {
        const QString problem =
            i == 0 ? parser.readHeader(content.records[i]) : parser.readRow(content.records[i]);
        if (!problem.isEmpty())
            return problem;
    }
    if (content.error)
        return QStringLiteral("%1: %2").arg(parser.where(content.error->line, content.error->cell),
                                            content.error->message);
    return QString();
}

}  // namespace

std::optional<QString> rowKey(ValuesTable::PickBy pickBy, const QString &unit) {
    return pickBy == ValuesTable::PickBy::Seq ? seqKey(unit) : addressKey(unit);
}

std::optional<ValuesTable> parseValuesFile(const QByteArray &content, const QString &source,
                                           QString *error) {
    const std::optional<QString> text = decode(content, source, error);
    if (!text)
        return std::nullopt;
    ValuesFileParser parser(source);
    const QString problem = parseRecords(readCsv(*text), parser);
    if (!problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    return parser.table();
}

}  // namespace pairwick::station
