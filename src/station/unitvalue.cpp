// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/unitvalue.h"

#include <QCoreApplication>

namespace pairwick::station {

std::optional<QString> fillValue(settings::Key key, const QString &text,
                                 const TemplateContext &context, const RandomDigits &random,
                                 QString *problem) {
    QString error;
    const std::optional<QString> filled = expandTemplate(text, context, &error, random);
    if (!filled) {
        *problem =
            QCoreApplication::translate("pairwick::station", "模板 \"%1\"：%2").arg(text, error);
        return std::nullopt;
    }
    const QString valueError = settings::valueProblem(key, *filled);
    if (valueError.isEmpty())
        return filled;
    if (*filled == text)
        *problem = QStringLiteral("\"%1\" %2").arg(text, valueError);
    else
        *problem = QCoreApplication::translate("pairwick::station", "模板 \"%1\" 得到 \"%2\"，它%3")
                       .arg(text, *filled, valueError);
    return std::nullopt;
}

}  // namespace pairwick::station
