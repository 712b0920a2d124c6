// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/accessibilitynames.h"

#include <QLabel>

namespace pairwick::accessibility {

QString spokenCaption(const QString &caption) {
    QString spoken = caption.trimmed();
    while (spoken.endsWith(QChar(u'：')) || spoken.endsWith(QLatin1Char(':')))
        spoken.chop(1);
    return spoken.trimmed();
}

void nameFieldsByTheirLabels(QWidget &window) {
    const auto labels = window.findChildren<QLabel *>();
    for (QLabel *label : labels) {
        QWidget *field = label->buddy();
        if (!field)
            continue;
        const QString name = spokenCaption(label->text());
        label->setAccessibleName(name);
        if (field->accessibleName().isEmpty())
            field->setAccessibleName(name);
    }
}

}  // namespace pairwick::accessibility
