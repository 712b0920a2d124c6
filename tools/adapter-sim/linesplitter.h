// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace pairwick::adaptersim {

// Cuts the incoming byte stream into command lines. CR and LF each end a line; since an empty
// line carries no command and is skipped, CR LF, a bare CR and a bare LF all work alike.
class LineSplitter {
public:
    static constexpr qsizetype maxLineLength = 4096;

    struct Lines {
        QList<QByteArray> complete;
        // Lines longer than maxLineLength, thrown away so the buffer stays bounded.
        int dropped = 0;
    };

    Lines feed(QByteArrayView bytes);

private:
    void endLine(Lines &lines);

    QByteArray m_line;
    bool m_overlong = false;
};

}  // namespace pairwick::adaptersim
