// SPDX-License-Identifier: GPL-3.0-or-later
#include "linesplitter.h"

namespace pairwick::adaptersim {

LineSplitter::Lines LineSplitter::feed(QByteArrayView bytes) {
    Lines lines;
    for (const char byte : bytes) {
        if (byte == '\r' || byte == '\n') {
            endLine(lines);
        } else if (m_overlong) {
            continue;
        } else if (m_line.size() < maxLineLength) {
            m_line += byte;
        } else {
            m_overlong = true;
            m_line.clear();
        }
    }
    return lines;
}

void LineSplitter::endLine(Lines &lines) {
    if (m_overlong) {
        ++lines.dropped;
    } else if (!m_line.isEmpty()) {
        lines.complete.append(m_line);
    }
    m_line.clear();
    m_overlong = false;
}

}  // namespace pairwick::adaptersim
