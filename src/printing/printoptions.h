// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <optional>
#include <variant>

#include "printing/printerdestination.h"

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

    static constexpr int MostCopies = 100;

private:
    QCommandLineOption m_label;
    QCommandLineOption m_printer;
    QCommandLineOption m_copies;
};

}  // namespace pairwick::printing
