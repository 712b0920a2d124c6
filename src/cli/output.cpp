// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output.h"

namespace pairwick::cli {

void print(std::FILE *stream, const QByteArray &text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
    std::fflush(stream);
}

}  // namespace pairwick::cli
