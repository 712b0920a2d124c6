// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/boundedfile.h"

#include <QFile>

namespace pairwick::settings {

std::optional<QByteArray> readBoundedFile(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large from one that fits exactly, also
    // for a device or a pipe, whose size is unknown beforehand.
    const QByteArray content = file.read(InputFileLimit + 1);
    if (content.size() > InputFileLimit) {
        *error = QStringLiteral("%1: larger than %2 KiB; no file of settings or template is that large")
                     .arg(path)
                     .arg(InputFileLimit / 1024);
        return std::nullopt;
    }
    return content;
}

}  // namespace pairwick::settings
