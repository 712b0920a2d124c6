// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/labelsource.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include "settings/boundedfile.h"

namespace pairwick::labels {

std::optional<QString> readTemplateText(const QString &path, QString *error) {
    const std::optional<QByteArray> content = settings::readBoundedFile(path, error);
    if (!content)
        return std::nullopt;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(*content);
    if (!utf8.hasError())
        return text;
    const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
    *error = QCoreApplication::translate("pairwick::labels", "%1：第 %2 行不是 UTF-8")
                 .arg(path)
                 .arg(text.left(bad).count(u'\n') + 1);
    return std::nullopt;
}

}  // namespace pairwick::labels
