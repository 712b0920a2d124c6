// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/configfile.h"

#include <QStringDecoder>

#include "ledger/ledgerlisting.h"
#include "settings/boundedfile.h"

namespace pairwick::service {

QString ConfigFile::where(const ConfigLine &line) const {
    return QStringLiteral("%1:%2").arg(path).arg(line.number);
}

const ConfigLine *ConfigFile::last(const QString &key) const {
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->key == key)
            return &*line;
    }
    return nullptr;
}

std::variant<ConfigFile, QString> readConfigFile(const QString &path, const QStringList &keys,
                                                 const QStringList &repeatable) {
    QString error;
    const std::optional<QByteArray> content = settings::readBoundedFile(path, &error);
    if (!content)
        return error;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(*content);
    if (decoder.hasError())
        return QStringLiteral("%1: not UTF-8 text").arg(path);

    ConfigFile file{path, {}};
    const QStringList rows = text.split(u'\n');
    for (qsizetype index = 0; index < rows.size(); ++index) {
        const QString row = rows[index].trimmed();
        if (row.isEmpty() || row.startsWith(u'#'))
            continue;
        const ConfigLine line{row.section(u'=', 0, 0).trimmed(), row.section(u'=', 1).trimmed(),
                              int(index + 1)};
        if (!row.contains(u'=') || line.key.isEmpty())
            return QStringLiteral("%1: expected KEY = VALUE, not \"%2\"")
                .arg(file.where(line), ledger::withControlsEscaped(row.left(80)));
        if (!keys.contains(line.key))
            return QStringLiteral("%1: unknown key \"%2\"; the keys are %3")
                .arg(file.where(line), ledger::withControlsEscaped(line.key.left(80)),
                     keys.join(QStringLiteral(", ")));
        if (const ConfigLine *earlier = file.last(line.key);
            earlier && !repeatable.contains(line.key))
            return QStringLiteral("%1: %2 was already given on line %3")
                .arg(file.where(line), line.key)
                .arg(earlier->number);
        file.lines.append(line);
    }
    return file;
}

}  // namespace pairwick::service
