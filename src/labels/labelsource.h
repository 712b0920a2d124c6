// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace pairwick::labels {

// A template is a designer's file of a few KiB; anything larger is a wrong path (a photo, a
// device), refused before it takes the memory.
inline constexpr qint64 TemplateSizeLimit = 1024 * 1024;

// The template's text, or nothing and why not: it cannot be read, is larger than the limit, or
// is not UTF-8 (naming the line of the first bad byte).
std::optional<QString> readTemplateText(const QString &path, QString *error);

}  // namespace pairwick::labels
