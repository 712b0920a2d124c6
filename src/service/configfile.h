// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

namespace pairwick::service {

// One `key = value` line of a station's configuration file.
struct ConfigLine {
    QString key;
    QString value;
    int number = 0;
};

struct ConfigFile {
    QString path;
    QList<ConfigLine> lines;

    // "FILE:LINE", for a message about what that line gave.
    QString where(const ConfigLine &line) const;
    // The last line of the key, or nullptr where the file does not give it.
    const ConfigLine *last(const QString &key) const;
};

// The file's lines, each key one of `keys`; a key outside `repeatable` may stand once. A problem
// is told with the line it is on.
std::variant<ConfigFile, QString> readConfigFile(const QString &path, const QStringList &keys,
                                                 const QStringList &repeatable);

}  // namespace pairwick::service
