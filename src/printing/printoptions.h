// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <optional>
#include <variant>

#include "printing/printerdestination.h"
#include "station/stationsetup.h"

class QCommandLineParser;

namespace pairwick::printing {

// A label template and a printer, as options give them.
struct PrintRequest {
    QString labelFile;
    PrinterDestination destination;
    int copies = 1;
};

// --label, --printer and --label-copies, the same for a station and for a reprint.
class PrintOptions {
public:
    PrintOptions();

    QList<QCommandLineOption> options() const;
    // Nothing when neither --label nor --printer is given; why not when they are given wrong
    // (one without the other, copies out of range, a printer that does not parse).
    std::variant<std::optional<PrintRequest>, QString> read(const QCommandLineParser &parser) const;
    // The options into a window's fields as they were given, which the window checks beside
    // each; only copies out of range, which have no field to show a problem in, are refused.
    QString fill(const QCommandLineParser &parser, station::StationSetup &setup) const;

    static constexpr int MostCopies = 100;

private:
    QString readCopies(const QCommandLineParser &parser, int &copies) const;

    QCommandLineOption m_label;
    QCommandLineOption m_printer;
    QCommandLineOption m_copies;
};

}  // namespace pairwick::printing
