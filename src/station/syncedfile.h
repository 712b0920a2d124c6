// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace pairwick::station {

// Writes content aside (path.new), syncs it and renames it over path, then syncs the folder, which
// a power cut would otherwise let forget the rename: path holds the old content or the new, whole.
// False and why when the disk refused.
bool syncedReplace(const QString &path, const QByteArray &content, QString *error);

// A rename or a removal in folder, kept through a power cut.
void syncFolder(const QString &folder);

}  // namespace pairwick::station
