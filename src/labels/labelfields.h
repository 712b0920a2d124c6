// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "labels/labelvalues.h"

// The station's fields in a label's text: {name}, {pin}, {address}, {address:plain}, {seq},
// {seq:N}, {batch}, {station}, {slot}, {date}, and {{ and }} for a brace itself; the same
// spelling as the fields of a unit's values.
namespace pairwick::labels {

struct FieldUse {
    enum class Field {
        Name,
        Pin,
        Address,
        AddressPlain,
        Seq,
        Batch,
        Station,
        Slot,
        Operator,
        Date
    };
    Field field = Field::Name;
    int width = 0;  // {seq:N}: zero-padded to at least N digits
};

// A text cut at its fields: a literal piece (braces already undoubled) or one field.
struct TextPiece {
    QString literal;
    std::optional<FieldUse> field;
};

struct FieldScan {
    QList<TextPiece> pieces;
    QString problem;  // an unknown field, a lone brace, a bad width; empty when none
    bool hasFields() const;
};

FieldScan scanFields(const QString &text);

QString fieldValue(const FieldUse &use, const LabelValues &values);

// The pieces put together: each literal through literal, each field's value through value.
using PieceText = std::function<QString(const QString &)>;
QString joinPieces(const QList<TextPiece> &pieces, const LabelValues &values,
                   const PieceText &literal, const PieceText &value);

}  // namespace pairwick::labels
