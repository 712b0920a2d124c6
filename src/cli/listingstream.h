// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonArray>
#include <QList>
#include <QStringList>
#include <cstdio>

namespace pairwick::cli {

// Prints a listing's rows as they come from the ledger, holding none but a first few: a table
// for people (columns as wide as the first rows need; a wider cell later pushes its line out),
// CSV, or one JSON object a line.
class ListingStream {
public:
    enum class Form { Table, Csv, JsonLines };

    ListingStream(std::FILE *out, Form form, QStringList columns);
    ListingStream(const ListingStream &) = delete;
    ListingStream &operator=(const ListingStream &) = delete;

    void row(const QJsonArray &cells);
    // Prints what is held back (a short table whole); returns why the listing could not all be
    // written, empty when it was.
    QString finish();

private:
    void write(const QString &text);
    void write(const QByteArray &bytes);
    void writeTableLine(const QStringList &cells);
    void setWidths();

    std::FILE *m_out;
    Form m_form;
    QStringList m_columns;
    QList<QStringList> m_held;  // a table's first rows, until their widths are known
    QList<qsizetype> m_widths;
    QString m_failure;  // the first write that failed
};

}  // namespace pairwick::cli
