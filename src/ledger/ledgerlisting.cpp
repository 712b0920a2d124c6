// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerlisting.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "ledger/storedforms.h"
#include "provision/attemptcodes.h"
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

// A JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
void appendJsonText(QByteArray &out, const QString &text) {
    out += '"';
    for (const char byte : text.toUtf8()) {
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += byte;
        } else if (static_cast<unsigned char>(byte) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(byte));
            out += escaped;
        } else {
            out += byte;
        }
    }
    out += '"';
}

}  // namespace

QStringList cellTexts(const QJsonArray &row) {
    QStringList line;
    for (const QJsonValue &value : row)
        line.append(cellText(value));
    return line;
}

// Written by hand, in the columns' order: a listing writes millions of these, and an object
// built for each line would take most of its time.
QByteArray jsonLine(const QStringList &columns, const QJsonArray &row) {
    QByteArray line = "{";
    for (qsizetype column = 0; column < columns.size(); ++column) {
        if (column > 0)
            line += ',';
        appendJsonText(line, columns[column]);
        line += ':';
        const QJsonValue value = row[column];
        switch (value.type()) {
            case QJsonValue::String:
                appendJsonText(line, value.toString());
                break;
            case QJsonValue::Double:
                line += QByteArray::number(value.toInteger());
                break;
            case QJsonValue::Array:
                line += QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
                break;
            case QJsonValue::Object:
                line += QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
                break;
            case QJsonValue::Bool:
                line += value.toBool() ? "true" : "false";
                break;
            default:
                line += "null";
        }
    }
    return line + "}\n";
}

QList<QStringList> LedgerListing::cellTexts() const {
    QList<QStringList> texts;
    for (const QJsonArray &row : rows)
        texts.append(ledger::cellTexts(row));
    return texts;
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
                           "rejected", "stations", "first_activity", "last_activity"},
                          {}};
    for (const BatchSummary &batch : batches)
        listing.rows.append(
            QJsonArray{batch.name, batch.first, batch.next, batch.totals.units, batch.totals.passed,
                       batch.totals.failed, batch.totals.interrupted, batch.totals.rejected,
                       QJsonArray::fromStringList(batch.stations), timeValue(batch.firstActivity),
                       timeValue(batch.lastActivity)});
    return listing;
}

const QStringList &unitColumns() {
    static const QStringList Columns{"batch", "seq",     "name",  "pin",      "address",
                                     "state", "station", "slot",  "attempts", "version",
                                     "first", "latest",  "labels"};
    return Columns;
}

const QStringList &attemptColumns() {
    // The step and the error as codes, the reason worded from them in the program's language.
    static const QStringList Columns{
        "id",        "batch",          "seq",     "address",  "station", "slot",
        "device",    "operator",       "started", "ended",    "result",  "step",
        "error",     "detail",         "reason",  "version",  "written", "sent",
        "unchanged", "on_pass_status", "found",   "read_back"};
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
                      timeValue(unit.latest),
                      unit.labels};
}

const QStringList &labelColumns() {
    static const QStringList Columns{"batch",  "seq",   "printed", "printer",  "copies",
                                     "reason", "state", "station", "template", "id"};
    return Columns;
}

QJsonArray labelCells(const LabelRecord &label) {
    return QJsonArray{label.batch,   label.seq,     timeValue(label.printed),
                      label.printer, label.copies,  label.reason,
                      label.state,   label.station, label.templateHash,
                      label.id};
}

QJsonArray attemptCells(const AttemptRow &attempt) {
    return QJsonArray{attempt.id,
                      attempt.batch,
                      attempt.seq,
                      attempt.address,
                      attempt.station,
                      attempt.slot,
                      attempt.device,
                      attempt.operatorName,
                      timeValue(attempt.started),
                      timeValue(attempt.ended),
                      attempt.result,
                      attempt.step,
                      attempt.error,
                      attempt.detail,
                      provision::codes::failureText(attempt.step, attempt.error, attempt.detail),
                      attempt.version,
                      settings::keyNameArray(attempt.written),
                      settings::keyNameArray(attempt.sent),
                      settings::keyNameArray(attempt.unchanged),
                      attempt.onPassStatus ? QJsonValue(*attempt.onPassStatus) : QJsonValue(),
                      settings::toJson(attempt.found),
                      settings::toJson(attempt.readBack)};
}

}  // namespace pairwick::ledger
