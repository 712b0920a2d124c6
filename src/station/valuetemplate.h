// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>

// The fields a text value may hold, filled in per unit: {seq}, {seq:W}, {addr:N}, {random:N},
// and {{ and }} for literal braces.
namespace pairwick::station {

// What sets one unit apart from the next.
struct TemplateContext {
    qint64 seq = 0;
    QString address;  // as the adapter reports it; only its hexadecimal digits count
};

// count decimal digits.
using RandomDigits = std::function<QString(int count)>;
// From the system's cryptographic source, so no unit's digits can be guessed from another's.
QString systemRandomDigits(int count);

// For checks before the unit is known: an address with all its digits, and digits where only
// their count matters.
inline const QString SampleAddress = QStringLiteral("FFFFFFFFFFFF");
QString sampleDigits(int count);

// The address's hexadecimal digits, upper case, without separators.
QString addressDigits(const QString &address);

// The text with every field filled in, or nothing and why not (naming the field).
std::optional<QString> expandTemplate(const QString &text, const TemplateContext &context,
                                      QString *error,
                                      const RandomDigits &random = systemRandomDigits);
// Why the text is no template (an unknown field, a lone brace, a bad width), or empty.
QString templateProblem(const QString &text);

}  // namespace pairwick::station
