// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/zpltemplate.h"

#include <QCoreApplication>

namespace pairwick::labels {

namespace {

constexpr QChar DefaultHexIndicator = u'_';

// One command: its prefix (^ or ~), its two-letter name in upper case, and everything up to the
// next prefix, as a printer reads it.
struct Command {
    QChar prefix;
    QString name;
    QString parameters;
    qsizetype line = 1;

    bool is(const char *twoLetters) const { return name == QLatin1String(twoLetters); }
    QString spelled() const { return prefix + name; }
};

bool isPrefix(QChar c) {
    return c == u'^' || c == u'~';
}

std::variant<QList<Command>, QString> commandsOf(const QString &text) {
    QList<Command> commands;
    qsizetype at = 0;
    while (at < text.size() && !isPrefix(text[at]))
        ++at;
    if (!text.left(at).trimmed().isEmpty())
        return QCoreApplication::translate("pairwick::labels",
                                           "^XA 之前有文字；模板须是一个标签，^XA … ^XZ");
    qsizetype line = 1 + text.left(at).count(u'\n');
    while (at < text.size()) {
        qsizetype end = at + 1;
        while (end < text.size() && !isPrefix(text[end]))
            ++end;
        const QString command = text.mid(at, end - at);
        commands.append({command.front(), command.mid(1, 2).toUpper(), command.mid(3), line});
        line += command.count(u'\n');
        at = end;
    }
    return commands;
}

QString atLine(const Command &command, const QString &problem) {
    return QCoreApplication::translate("pairwick::labels", "第 %1 行 %2：%3")
        .arg(command.line)
        .arg(command.spelled(), problem);
}

// Where the label starts and ends: exactly one ^XA first and one ^XZ last.
QString labelProblem(const QList<Command> &commands) {
    if (commands.isEmpty() || !commands.front().is("XA") || commands.front().prefix != u'^')
        return QCoreApplication::translate("pairwick::labels",
                                           "模板须以 ^XA 开始，是一个标签，^XA … ^XZ");
    for (qsizetype i = 1; i < commands.size(); ++i) {
        const Command &command = commands[i];
        if (command.is("XA"))
            return atLine(command, QCoreApplication::translate(
                                       "pairwick::labels", "模板须是一个标签，这里又开始了一个"));
        if (command.is("XZ") && i + 1 < commands.size())
            return atLine(command, QCoreApplication::translate(
                                       "pairwick::labels", "模板须是一个标签，^XZ 之后还有命令"));
    }
    const Command &last = commands.back();
    if (!last.is("XZ"))
        return QCoreApplication::translate("pairwick::labels", "模板没有以 ^XZ 结束");
    if (!last.parameters.trimmed().isEmpty())
        return atLine(last, QCoreApplication::translate("pairwick::labels", "^XZ 之后还有文字"));
    return QString();
}

// ^FH's indicator: a punctuation mark that cannot be taken for a prefix, a field or data.
std::optional<QChar> hexIndicatorOf(const QString &parameters) {
    QString given = parameters;
    given.remove(u'\r').remove(u'\n');
    if (given.isEmpty())
        return DefaultHexIndicator;
    const QChar c = given.front();
    if (given.size() > 1 || c.unicode() > 0x7e || !c.isPunct() || QStringView(u"^~{},").contains(c))
        return std::nullopt;
    return c;
}

// Every byte a printer could read as anything but itself, as the indicator and two hex digits.
QString hexEscaped(const QString &value, QChar indicator) {
    QString escaped;
    for (const char byte : value.toUtf8()) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x20 || b >= 0x7f || b == '^' || b == '~' || b == indicator.unicode())
            escaped += indicator + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += QLatin1Char(byte);
    }
    return escaped;
}

}  // namespace

std::variant<ZplTemplate, QString> ZplTemplate::parse(const QString &text) {
    const auto tokens = commandsOf(text);
    if (const auto *problem = std::get_if<QString>(&tokens))
        return *problem;
    const QList<Command> &commands = std::get<QList<Command>>(tokens);
    if (const QString problem = labelProblem(commands); !problem.isEmpty())
        return problem;

    ZplTemplate label;
    bool encodingGiven = false;
    std::optional<QChar> hexIndicator;  // of the field being built, when it has ^FH
    for (const Command &command : commands) {
        Part part{command.spelled() + command.parameters, {}, DefaultHexIndicator};
        if (command.is("CC") || command.is("CT") || command.is("CD"))
            return atLine(command, QCoreApplication::translate("pairwick::labels",
                                                               "模板不可更改 ZPL 的命令字符"));
        if (command.is("CI")) {
            // Values are UTF-8; the label must read them so.
            if (command.parameters.section(u',', 0, 0).trimmed() != u"28")
                return atLine(command,
                              QCoreApplication::translate(
                                  "pairwick::labels", "字段的值是 UTF-8，须用 ^CI28 或不写 ^CI"));
            encodingGiven = true;
        } else if (command.is("FH")) {
            hexIndicator = hexIndicatorOf(command.parameters);
            if (!hexIndicator)
                return atLine(command, QCoreApplication::translate(
                                           "pairwick::labels",
                                           "^FH 的指示符须是一个标点符号，不是 ^ ~ { } 或逗号"));
        } else if (command.is("FS")) {
            hexIndicator.reset();
        } else if (command.is("FD") || command.is("FV")) {
            FieldScan scan = scanFields(command.parameters);
            if (!scan.problem.isEmpty())
                return atLine(command, scan.problem);
            if (scan.hasFields()) {
                // Without ^FH of its own, the field gets one; its literal text then escapes
                // the indicator as the values do.
                part.text = (hexIndicator ? QString() : QStringLiteral("^FH")) + command.spelled();
                part.data = std::move(scan.pieces);
                part.hexIndicator = hexIndicator.value_or(DefaultHexIndicator);
                if (!hexIndicator) {
                    for (TextPiece &piece : part.data)
                        piece.literal = hexEscaped(piece.literal, DefaultHexIndicator);
                }
            }
        } else if (!command.is("FX") && scanFields(command.parameters).hasFields()) {
            return atLine(command, QCoreApplication::translate(
                                       "pairwick::labels", "字段只能写在字段数据（^FD、^FV）里"));
        }
        label.m_parts.append(std::move(part));
    }
    if (!encodingGiven)
        label.m_parts.insert(1, {QStringLiteral("^CI28"), {}, DefaultHexIndicator});
    return label;
}

QByteArray ZplTemplate::fill(const LabelValues &values) const {
    QString text;
    for (const Part &part : m_parts) {
        text += part.text;
        if (!part.data.isEmpty())
            text += joinPieces(
                part.data, values, [](const QString &literal) { return literal; },
                [&](const QString &value) { return hexEscaped(value, part.hexIndicator); });
    }
    return text.toUtf8();
}

}  // namespace pairwick::labels
