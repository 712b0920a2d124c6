// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/programicon.h"

#include <QImageReader>
#include <QPixmap>

namespace pairwick::about {

QIcon programIcon() {
    QImageReader reader(QStringLiteral(":/pairwick/icon.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

}  // namespace pairwick::about
