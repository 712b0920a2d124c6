// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlisting.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "ledger/csvtable.h"
#include "ledger/storedforms.h"
#include "settings/profile.h"

namespace pairwick::ledger {

namespace {

QJsonValue timeValue(const QDateTime &time) {
    return time.isValid() ? QJsonValue(storedTime(time)) : QJsonValue();
}

QJsonArray keyNames(const QList<settings::Key> &keys) {
    QJsonArray names;
    for (settings::Key key : keys)
        names.append(settings::keyName(key));
    return names;
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

QStringList cellTexts(const QJsonArray &row) {
    QStringList line;
    for (const QJsonValue &value : row)
        line.append(cellText(value));
    return line;
}

QByteArray jsonLine(const QStringList &columns, const QJsonArray &row) {
    QJsonObject record;
    for (qsizetype column = 0; column < columns.size(); ++column)
        record.insert(columns[column], row[column]);
    return QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
}

QList<QStringList> LedgerListing::cellTexts() const {
    QList<QStringList> texts;
    for (const QJsonArray &row : rows)
        texts.append(ledger::cellTexts(row));
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

const QStringList &unitColumns() {
    static const QStringList Columns{"batch",   "seq",  "name",     "pin",     "address", "state",
                                     "station", "slot", "attempts", "version", "first",   "latest"};
    return Columns;
}

const QStringList &attemptColumns() {
    static const QStringList Columns{
        "id",      "batch",   "seq",       "address",        "station", "slot",
        "device",  "started", "ended",     "result",         "step",    "error",
        "version", "written", "unchanged", "on_pass_status", "found",   "read_back"};
    return Columns;
}

QJsonArray unitCells(const UnitRow &unit) {
    return QJsonArray{unit.batch,
                      unit.seq,
                      unit.name,
                      unit.pin,
                      unit.address,
                      unit.state,
                      unit.station,
                      unit.slot,
                      unit.attempts,
                      unit.version,
                      timeValue(unit.first),
                      timeValue(unit.latest)};
}

QJsonArray attemptCells(const AttemptRow &attempt) {
    return QJsonArray{attempt.id,
                      attempt.batch,
                      attempt.seq,
                      attempt.address,
                      attempt.station,
                      attempt.slot,
                      attempt.device,
                      timeValue(attempt.started),
                      timeValue(attempt.ended),
                      attempt.result,
                      attempt.step,
                      attempt.error,
                      attempt.version,
                      keyNames(attempt.written),
                      keyNames(attempt.unchanged),
                      attempt.onPassStatus ? QJsonValue(*attempt.onPassStatus) : QJsonValue(),
                      settings::toJson(attempt.found),
                      settings::toJson(attempt.readBack)};
}

}  // namespace pairwick::ledger
