// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/labelfields.h"

#include <QCoreApplication>
#include <array>

namespace pairwick::labels {

namespace {

using Field = FieldUse::Field;

// A unit number has at most 19 digits.
constexpr int SeqWidthLimit = 20;

struct FieldName {
    const char *name;
    Field field;
};

constexpr std::array<FieldName, 10> FieldNames{{
    {"name", Field::Name},
    {"pin", Field::Pin},
    {"address", Field::Address},
    {"address:plain", Field::AddressPlain},
    {"seq", Field::Seq},
    {"batch", Field::Batch},
    {"station", Field::Station},
    {"slot", Field::Slot},
    {"operator", Field::Operator},
    {"date", Field::Date},
}};

std::optional<int> seqWidth(const QString &text) {
    bool ok = false;
    const int width = text.toInt(&ok);
    if (!ok || text.size() > 2 || !text.front().isDigit() || width < 1 || width > SeqWidthLimit)
        return std::nullopt;
    return width;
}

// One field, the braces stripped.
std::optional<FieldUse> fieldOf(const QString &inside, QString *problem) {
    for (const FieldName &known : FieldNames) {
        if (inside == QLatin1String(known.name))
            return FieldUse{known.field, 0};
    }
    if (inside.startsWith(QLatin1String("seq:"))) {
        if (const std::optional<int> width = seqWidth(inside.mid(4)))
            return FieldUse{Field::Seq, *width};
        *problem =
            QCoreApplication::translate("pairwick::labels", "字段 \"{%1}\"：宽度须为 1 到 %2 的数")
                .arg(inside)
                .arg(SeqWidthLimit);
        return std::nullopt;
    }
    *problem = QCoreApplication::translate(
                   "pairwick::labels",
                   "未知字段 \"{%1}\"；可用的字段有 {name}、{pin}、{address}、{address:plain}、"
                   "{seq}、{seq:N}、{batch}、{station}、{slot}、{operator}、{date}，{{ 和 }} "
                   "表示花括号本身")
                   .arg(inside);
    return std::nullopt;
}

}  // namespace

bool FieldScan::hasFields() const {
    for (const TextPiece &piece : pieces) {
        if (piece.field)
            return true;
    }
    return false;
}

FieldScan scanFields(const QString &text) {
    FieldScan scan;
    QString literal;
    const auto lone = [&](qsizetype at, QChar brace) {
        scan.problem =
            QCoreApplication::translate("pairwick::labels",
                                        "第 %2 个字符处有单独的 \"%1\"；花括号本身请写 \"%1%1\"")
                .arg(brace)
                .arg(at + 1);
        return scan;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool doubled = i + 1 < text.size() && text[i + 1] == c;
        if ((c == u'{' || c == u'}') && doubled) {
            literal.append(c);
            ++i;
        } else if (c == u'}') {
            return lone(i, c);
        } else if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 1);
            const QString inside = close < 0 ? QString() : text.mid(i + 1, close - i - 1);
            if (close < 0 || inside.contains(u'{'))
                return lone(i, c);
            const std::optional<FieldUse> field = fieldOf(inside, &scan.problem);
            if (!field)
                return scan;
            scan.pieces.append({literal, std::nullopt});
            scan.pieces.append({QString(), field});
            literal.clear();
            i = close;
        } else {
            literal.append(c);
        }
    }
    scan.pieces.append({literal, std::nullopt});
    return scan;
}

QString fieldValue(const FieldUse &use, const LabelValues &values) {
    switch (use.field) {
        case Field::Name:
            return values.name;
        case Field::Pin:
            return values.pin;
        case Field::Address:
            return values.address;
        case Field::AddressPlain: {
            QString digits;
            for (QChar c : values.address) {
                if ((c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f'))
                    digits.append(c.toUpper());
            }
            return digits;
        }
        case Field::Seq:
            return QString::number(values.seq).rightJustified(use.width, u'0');
        case Field::Batch:
            return values.batch;
        case Field::Station:
            return values.station;
        case Field::Slot:
            return values.slot;
        case Field::Operator:
            return values.operatorName;
        case Field::Date:
            return values.date.toString(Qt::ISODate);
    }
    return QString();
}

QString joinPieces(const QList<TextPiece> &pieces, const LabelValues &values,
                   const PieceText &literal, const PieceText &value) {
    QString text;
    for (const TextPiece &piece : pieces)
        text += piece.field ? value(fieldValue(*piece.field, values)) : literal(piece.literal);
    return text;
}

}  // namespace pairwick::labels
