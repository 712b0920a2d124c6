// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlisting.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "ledger/csvtable.h"
#include "ledger/storedforms.h"
#include "settings/keynames.h"
#include "settings/profile.h"

namespace pairwick::ledger {

namespace {

QJsonValue timeValue(const QDateTime &time) {
    return time.isValid() ? QJsonValue(storedTime(time)) : QJsonValue();
}

// Lists are words apart, objects compact JSON, nothing an empty cell.
QString cellText(const QJsonValue &value) {
    switch (value.type()) {
        case QJsonValue::Double:
            return QString::number(value.toInteger());
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        case QJsonValue::Array: {
            QStringList words;
            for (const QJsonValue &element : value.toArray())
                words.append(cellText(element));
            return words.join(u' ');
        }
        case QJsonValue::Object:
            return QString::fromUtf8(
                QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
        default:
            return value.toString();
    }
}

}  // namespace

QList<QStringList> LedgerListing::cellTexts() const {
    QList<QStringList> texts;
    for (const QJsonArray &row : rows) {
        QStringList line;
        for (const QJsonValue &value : row)
            line.append(cellText(value));
        texts.append(line);
    }
    return texts;
}

QByteArray LedgerListing::csv() const {
    return csvTable(columns, cellTexts());
}

QByteArray LedgerListing::json(const QString &url) const {
    QJsonArray records;
    for (const QJsonArray &row : rows) {
        QJsonObject record;
        for (qsizetype column = 0; column < columns.size(); ++column)
            record.insert(columns[column], row[column]);
        records.append(record);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("ledger"), url}, {kind, records}}).toJson();
}

QString withControlsEscaped(const QString &text) {
    QString shown;
    for (const char32_t code : text.toUcs4()) {
        if (QChar::category(code) != QChar::Other_Control) {
            shown += QString::fromUcs4(&code, 1);
            continue;
        }
        switch (code) {
            case U'\n':
                shown += QStringLiteral("\\n");
                break;
            case U'\r':
                shown += QStringLiteral("\\r");
                break;
            case U'\t':
                shown += QStringLiteral("\\t");
                break;
            default:
                shown += QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

LedgerListing listBatches(const QList<BatchSummary> &batches) {
    LedgerListing listing{QStringLiteral("batches"),
                          {"batch", "first", "next", "units", "passed", "failed", "interrupted",
                           "stations", "first_activity", "last_activity"},
                          {}};
    for (const BatchSummary &batch : batches)
        listing.rows.append(
            QJsonArray{batch.name, batch.first, batch.next, batch.totals.units, batch.totals.passed,
                       batch.totals.failed, batch.totals.interrupted,
                       QJsonArray::fromStringList(batch.stations), timeValue(batch.firstActivity),
                       timeValue(batch.lastActivity)});
    return listing;
}

LedgerListing listUnits(const QList<UnitRow> &units) {
    LedgerListing listing{QStringLiteral("units"),
                          {"batch", "seq", "name", "pin", "address", "state", "station", "slot",
                           "attempts", "version", "first", "latest"},
                          {}};
    for (const UnitRow &unit : units)
        listing.rows.append(QJsonArray{
            unit.batch, unit.seq, unit.name, unit.pin, unit.address, unit.state, unit.station,
            unit.slot, unit.attempts, unit.version, timeValue(unit.first), timeValue(unit.latest)});
    return listing;
}

LedgerListing listAttempts(const QList<AttemptRow> &attempts) {
    LedgerListing listing{QStringLiteral("attempts"),
                          {"id", "batch", "seq", "address", "station", "slot", "device", "started",
                           "ended", "result", "step", "error", "version", "written", "sent",
                           "unchanged", "on_pass_status", "found", "read_back"},
                          {}};
    for (const AttemptRow &attempt : attempts)
        listing.rows.append(QJsonArray{
            attempt.id, attempt.batch, attempt.seq, attempt.address, attempt.station, attempt.slot,
            attempt.device, timeValue(attempt.started), timeValue(attempt.ended), attempt.result,
            attempt.step, attempt.error, attempt.version, settings::keyNameArray(attempt.written),
            settings::keyNameArray(attempt.sent), settings::keyNameArray(attempt.unchanged),
            attempt.onPassStatus ? QJsonValue(*attempt.onPassStatus) : QJsonValue(),
            settings::toJson(attempt.found), settings::toJson(attempt.readBack)});
    return listing;
}

}  // namespace pairwick::ledger
