// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Comma-separated text as RFC 4180 writes it: quoted cells with doubled quotes, commas and line
// breaks inside them, CRLF or LF line ends, the last one optional.
namespace pairwick::station {

struct CsvRecord {
    qsizetype line = 0;  // where the record starts, from 1
    QStringList cells;
};

struct CsvError {
    qsizetype line = 0;
    qsizetype cell = 0;  // from 0
    QString message;
};

struct CsvContent {
    QList<CsvRecord> records;  // on an error, those before it
    std::optional<CsvError> error;
};

// Empty lines between records are passed over: a spreadsheet leaves them at the end.
CsvContent readCsv(const QString &text);

}  // namespace pairwick::station
