// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <vector>

#include "provision/portjob.h"

namespace pairwick::cli {

// One JSON document: {"ports": [{"port", "device", "ok", "settings", "complete", "written",
// "unchanged", "error", "seconds"}, ...]}, with the settings under the profile's keys: what was
// read, null when nothing was.
QByteArray resultsJson(const std::vector<provision::PortResult> &results);
// The array under "ports".
QJsonArray resultsArray(const std::vector<provision::PortResult> &results);

// What an adapter holds as far as is known, into a JSON record: "settings" (null when nothing was
// read; without the keys a write may have changed since), "complete" (a full read came after the
// last write), "written" and "unchanged".
void insertKnownSettings(QJsonObject &record, const settings::AdapterSettings &settings,
                         bool complete, const QList<settings::Key> &written,
                         const QList<settings::Key> &unchanged);

// A table for people, one row per port.
QString resultsTable(const std::vector<provision::PortResult> &results);

// The status for the whole call: 3 when a port would not open, else 1 when one failed, else 0.
int resultsStatus(const std::vector<provision::PortResult> &results);

// "write pin: the adapter answered ...", or the open failure's explanation.
QString failureText(const provision::PortResult &result);

}  // namespace pairwick::cli
