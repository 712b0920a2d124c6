// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

namespace pairwick::fakes {

// The adapter's side of the conversation for in-memory tests. Its replies follow the adapter's
// layouts as written here, never the tool's cutting code, so a mistake in either shows up.
class ScriptedAdapter {
public:
    QString name = QStringLiteral("Pairwick-01");
    QString version = QStringLiteral("V2.1.0");
    QString baudRate = QStringLiteral("115200");
    QString parity = QStringLiteral("E");
    QString stopBits = QStringLiteral("2");
    QString role = QStringLiteral("1");
    QString messages = QStringLiteral("EN");
    QString pin = QStringLiteral("4321");
    QString address = QStringLiteral("0A1B:2C:3D4E5F");
    QString boundAddress = QStringLiteral("0E12:34:56789A");

    // The reply to one line; set commands change the state.
    QString answer(const QString &line);
    // Replaces the reply to an exact line (an empty text: no reply at all).
    void replyTo(const QString &line, const QString &reply) { m_overrides.insert(line, reply); }

    static QString acknowledged(const QString &line, const QString &valueLine);

private:
    QString query(const QString &line) const;
    bool set(const QString &line);

    QHash<QString, QString> m_overrides;
};

}  // namespace pairwick::fakes
