// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/valuesjson.h"

namespace pairwick::printing {

QJsonObject valuesJson(const labels::LabelValues &values) {
    return {{QStringLiteral("batch"), values.batch},
            {QStringLiteral("seq"), values.seq},
            {QStringLiteral("name"), values.name},
            {QStringLiteral("pin"), values.pin},
            {QStringLiteral("address"), values.address},
            {QStringLiteral("station"), values.station},
            {QStringLiteral("slot"), values.slot},
            {QStringLiteral("operator"), values.operatorName}};
}

labels::LabelValues valuesFromJson(const QJsonObject &json) {
    labels::LabelValues values;
    values.batch = json.value(QStringLiteral("batch")).toString();
    values.seq = json.value(QStringLiteral("seq")).toInteger();
    values.name = json.value(QStringLiteral("name")).toString();
    values.pin = json.value(QStringLiteral("pin")).toString();
    values.address = json.value(QStringLiteral("address")).toString();
    values.station = json.value(QStringLiteral("station")).toString();
    values.slot = json.value(QStringLiteral("slot")).toString();
    values.date = QDate::currentDate();
    values.operatorName = json.value(QStringLiteral("operator")).toString();
    return values;
}

}  // namespace pairwick::printing
