// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <optional>

// The adapter's ten settings as one value, and what each key allows. Values are kept in the form
// people write them in profiles: role "master"/"slave", messages "on"/"off", the rest as the
// adapter reports them.
namespace pairwick::settings {

enum class Key { Name, Version, Baud, Parity, Stop, Role, Messages, Pin, Address, Bind };

inline constexpr std::array<Key, 10> AllKeys{Key::Name,    Key::Version, Key::Baud,     Key::Parity,
                                             Key::Stop,    Key::Role,    Key::Messages, Key::Pin,
                                             Key::Address, Key::Bind};

QString keyName(Key key);
std::optional<Key> keyFromName(const QString &name);
// Version and address are the adapter's own; nobody writes them.
bool isWritable(Key key);
// Empty for free text.
const QStringList &allowedValues(Key key);
// Why the value cannot be written under this key, or an empty text when it can.
QString valueProblem(Key key, const QString &value);
// The set command's argument for a value that passed valueProblem().
QString argumentFor(Key key, const QString &value);

inline const QString Master = QStringLiteral("master");
inline const QString Slave = QStringLiteral("slave");
inline const QString On = QStringLiteral("on");
inline const QString Off = QStringLiteral("off");

class AdapterSettings {
public:
    bool has(Key key) const { return m_values.count(key) != 0; }
    QString value(Key key) const;
    void set(Key key, const QString &value) { m_values[key] = value; }
    void remove(Key key) { m_values.erase(key); }
    bool isEmpty() const { return m_values.empty(); }
    // The keys that hold a value, in the order of AllKeys.
    QList<Key> keys() const;
    // Every value of other overrides this one's.
    void merge(const AdapterSettings &other);

    bool operator==(const AdapterSettings &) const = default;

private:
    std::map<Key, QString> m_values;
};

}  // namespace pairwick::settings
