// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/valuetemplate.h"

#include <QCoreApplication>
#include <QRandomGenerator>

namespace pairwick::station {

namespace {

// A unit number has at most 19 digits; random digits beyond 20 would add nothing a PIN or a
// name has room for.
constexpr int SeqWidthLimit = 20;
constexpr int AddressDigitLimit = 12;
constexpr int RandomDigitLimit = 20;

QString fieldList() {
    return QCoreApplication::translate(
        "pairwick::station",
        "可用的字段有 {seq}、{seq:W}、{addr:N}、{random:N}，{{ 和 }} 表示花括号本身");
}

// The width after the colon: one or two ASCII digits within 1..limit, or nothing.
std::optional<int> widthOf(const QString &text, int limit) {
    if (text.isEmpty() || text.size() > 2)
        return std::nullopt;
    int width = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        width = width * 10 + (c.unicode() - u'0');
    }
    if (width < 1 || width > limit)
        return std::nullopt;
    return width;
}

// One field's text, the braces stripped.
std::optional<QString> expandField(const QString &field, const TemplateContext &context,
                                   const RandomDigits &random, QString *error) {
    const qsizetype colon = field.indexOf(u':');
    const QString name = field.left(colon);
    const QString widthText = colon < 0 ? QString() : field.mid(colon + 1);
    const bool hasWidth = colon >= 0;

    const auto badWidth = [&](int limit) {
        *error =
            QCoreApplication::translate("pairwick::station", "字段 \"{%1}\"：宽度须为 1 到 %2 的数")
                .arg(field)
                .arg(limit);
        return std::nullopt;
    };

    if (name == u"seq") {
        const QString number = QString::number(context.seq);
        if (!hasWidth)
            return number;
        const std::optional<int> width = widthOf(widthText, SeqWidthLimit);
        if (!width)
            return badWidth(SeqWidthLimit);
        return number.rightJustified(*width, u'0');
    }
    if (name == u"addr") {
        const std::optional<int> width =
            hasWidth ? widthOf(widthText, AddressDigitLimit) : std::nullopt;
        if (!width)
            return badWidth(AddressDigitLimit);
        const QString digits = addressDigits(context.address);
        if (digits.size() < *width) {
            *error = QCoreApplication::translate(
                         "pairwick::station", "字段 \"{%1}\"：地址 \"%2\" 只有 %3 个十六进制数字")
                         .arg(field, context.address)
                         .arg(digits.size());
            return std::nullopt;
        }
        return digits.right(*width);
    }
    if (name == u"random") {
        const std::optional<int> width =
            hasWidth ? widthOf(widthText, RandomDigitLimit) : std::nullopt;
        if (!width)
            return badWidth(RandomDigitLimit);
        return random(*width);
    }
    *error = QCoreApplication::translate("pairwick::station", "未知字段 \"{%1}\"；%2")
                 .arg(field, fieldList());
    return std::nullopt;
}

}  // namespace

QString systemRandomDigits(int count) {
    QString digits;
    digits.reserve(count);
    for (int i = 0; i < count; ++i)
        digits.append(QChar(u'0' + QRandomGenerator::system()->bounded(10)));
    return digits;
}

QString sampleDigits(int count) {
    return QString(count, u'9');
}

QString addressDigits(const QString &address) {
    QString digits;
    for (QChar c : address) {
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
            digits.append(c.toUpper());
    }
    return digits;
}

std::optional<QString> expandTemplate(const QString &text, const TemplateContext &context,
                                      QString *error, const RandomDigits &random) {
    QString result;
    const auto lone = [&](qsizetype at, const char *brace) {
        *error = QCoreApplication::translate(
                     "pairwick::station", "第 %2 个字符处有单独的 \"%1\"；花括号本身请写 \"%1%1\"")
                     .arg(QLatin1String(brace))
                     .arg(at + 1);
        return std::nullopt;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool doubled = i + 1 < text.size() && text[i + 1] == c;
        if (c == u'}') {
            if (!doubled)
                return lone(i, "}");
            result.append(c);
            ++i;
        } else if (c == u'{') {
            if (doubled) {
                result.append(c);
                ++i;
                continue;
            }
            const qsizetype close = text.indexOf(u'}', i + 1);
            const QString inside = close < 0 ? QString() : text.mid(i + 1, close - i - 1);
            if (close < 0 || inside.contains(u'{'))
                return lone(i, "{");
            const std::optional<QString> field = expandField(inside, context, random, error);
            if (!field)
                return std::nullopt;
            result.append(*field);
            i = close;
        } else {
            result.append(c);
        }
    }
    return result;
}

QString templateProblem(const QString &text) {
    // The sample address has all twelve digits, so only the template itself can fail here.
    QString error;
    expandTemplate(text, TemplateContext{0, SampleAddress}, &error, sampleDigits);
    return error;
}

}  // namespace pairwick::station
