// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A label read back as a scanner would, never compared byte for byte: ZPL rendered by
// zpl-renderer-js (a renderer that shares nothing with pairwick), then the codes decoded by
// zbarimg.
namespace pairwick::labels::test {

// Where a test finds what reading needs, or what is missing.
QString missingReaders();

// The bytes of the QR code on a ZPL label, as they are: ZPL's QR code carries no mark of its
// encoding, which a decoder would otherwise guess. Empty, and why in problem, when it cannot be
// read.
QByteArray qrOfZpl(const QByteArray &zpl, const QString &folder, QString *problem);

}  // namespace pairwick::labels::test
