// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/labelsource.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

namespace pairwick::labels {

std::optional<QString> readTemplateText(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large from one that fits exactly, also
    // for a pipe, whose size is unknown beforehand.
    const QByteArray content = file.read(TemplateSizeLimit + 1);
    if (content.size() > TemplateSizeLimit) {
        *error = QCoreApplication::translate("pairwick::labels", "%1：大于 %2 KiB，不像标签模板")
                     .arg(path)
                     .arg(TemplateSizeLimit / 1024);
        return std::nullopt;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(content);
    if (!utf8.hasError())
        return text;
    const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
    *error = QCoreApplication::translate("pairwick::labels", "%1：第 %2 行不是 UTF-8")
                 .arg(path)
                 .arg(text.left(bad).count(u'\n') + 1);
    return std::nullopt;
}

}  // namespace pairwick::labels
