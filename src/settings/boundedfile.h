// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace pairwick::settings {

// Profiles, values files, configuration files and label templates are small; anything larger is a wrong path (a device, a log), refused
// before it can take the memory.
inline constexpr qint64 InputFileLimit = 1024 * 1024;

// The whole file, or nothing and an error that names it.
std::optional<QByteArray> readBoundedFile(const QString &path, QString *error);

}  // namespace pairwick::settings
