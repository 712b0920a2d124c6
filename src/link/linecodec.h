// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace pairwick::link {

// The bytes on the wire. Everything the tool writes is UTF-8. Reads are UTF-8 where the bytes
// are valid UTF-8 and GB18030 otherwise, so that a name stored by an older tool on a Chinese
// system still reads right. A character cut in two by a read boundary is held back and finished
// by the next read; invalid bytes become U+FFFD and never fail.
class LineCodec {
public:
    QByteArray encode(const QString &text) const;
    QString decode(const QByteArray &bytes);
    // Forgets a held-back partial character, for when pending input is thrown away.
    void reset();

private:
    QByteArray m_heldBack;
};

}  // namespace pairwick::link
