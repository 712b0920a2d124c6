// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/adaptersettings.h"

#include <QCoreApplication>

#include "protocol/commands.h"
#include "protocol/tokens.h"

namespace pairwick::settings {

namespace {

// The adapter stores a name of at most 20 and a PIN of at most 10 characters, as the window's
// fields allow.
constexpr qsizetype NameLimit = 20;
constexpr qsizetype PinLimit = 10;

struct KeyFacts {
    const char *name;
    bool writable;
    qsizetype maxLength;  // 0: no limit
};

KeyFacts facts(Key key) {
    switch (key) {
        case Key::Name:
            return {"name", true, NameLimit};
        case Key::Version:
            return {"version", false, 0};
        case Key::Baud:
            return {"baud", true, 0};
        case Key::Parity:
            return {"parity", true, 0};
        case Key::Stop:
            return {"stop", true, 0};
        case Key::Role:
            return {"role", true, 0};
        case Key::Messages:
            return {"messages", true, 0};
        case Key::Pin:
            return {"pin", true, PinLimit};
        case Key::Address:
            return {"address", false, 0};
        case Key::Bind:
            return {"bind", true, 0};
    }
    return {"", false, 0};
}

qsizetype characterCount(const QString &text) {
    return text.toUcs4().size();
}

}  // namespace

QString keyName(Key key) {
    return QString::fromLatin1(facts(key).name);
}

std::optional<Key> keyFromName(const QString &name) {
    for (Key key : AllKeys) {
        if (keyName(key) == name)
            return key;
    }
    return std::nullopt;
}

bool isWritable(Key key) {
    return facts(key).writable;
}

const QStringList &allowedValues(Key key) {
    static const QStringList none;
    static const QStringList roles{Master, Slave};
    static const QStringList switches{On, Off};
    switch (key) {
        case Key::Baud:
            return protocol::baudRateEntries();
        case Key::Parity:
            return protocol::parityLetters();
        case Key::Stop:
            return protocol::stopBitEntries();
        case Key::Role:
            return roles;
        case Key::Messages:
            return switches;
        default:
            return none;
    }
}

QString valueProblem(Key key, const QString &value) {
    if (!isWritable(key))
        return QCoreApplication::translate("pairwick::settings",
                                           "是只读的：由适配器报告，不能设置");
    const QStringList &allowed = allowedValues(key);
    if (!allowed.isEmpty() && !allowed.contains(value))
        return QCoreApplication::translate("pairwick::settings", "必须是 %1 之一")
            .arg(allowed.join(QStringLiteral(", ")));
    if (value.contains(u'\r') || value.contains(u'\n'))
        return QCoreApplication::translate("pairwick::settings", "不能含换行符");
    const qsizetype limit = facts(key).maxLength;
    if (limit > 0 && characterCount(value) > limit)
        return QCoreApplication::translate("pairwick::settings", "不能超过 %1 个字符").arg(limit);
    return QString();
}

QString argumentFor(Key key, const QString &value) {
    switch (key) {
        case Key::Role:
            return protocol::flagArgument(value == Master);
        case Key::Messages:
            return protocol::flagArgument(value == On);
        default:
            return value;
    }
}

QString AdapterSettings::value(Key key) const {
    const auto found = m_values.find(key);
    return found == m_values.end() ? QString() : found->second;
}

QList<Key> AdapterSettings::keys() const {
    QList<Key> present;
    for (Key key : AllKeys) {
        if (has(key))
            present.append(key);
    }
    return present;
}

void AdapterSettings::merge(const AdapterSettings &other) {
    for (const auto &[key, value] : other.m_values)
        m_values[key] = value;
}

}  // namespace pairwick::settings
