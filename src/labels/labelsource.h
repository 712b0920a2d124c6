// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace pairwick::labels {

// The template's text, or nothing and why not: it cannot be read, is larger than any file of
// settings may be (a template is a designer's file of a few KiB; a larger one is a wrong path,
// a photo or a device), or is not UTF-8 (naming the line of the first bad byte).
std::optional<QString> readTemplateText(const QString &path, QString *error);

}  // namespace pairwick::labels
