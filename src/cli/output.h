// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdio>

namespace pairwick::cli {

// Writes the text at once: a script reading the stream sees each result as it comes.
void print(std::FILE *stream, const QByteArray &text);

}  // namespace pairwick::cli
