// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/printoptions.h"

#include <QCommandLineParser>

namespace pairwick::printing {

PrintOptions::PrintOptions()
    : m_label(QStringLiteral("label"),
              QStringLiteral("The label template: FILE.zpl for a label printer, FILE.svg for any "
                             "other (see 'pairwick-cli label --help')."),
              QStringLiteral("FILE")),
      m_printer(QStringLiteral("printer"),
                QStringLiteral("Where labels go: tcp:HOST:PORT (raw, port 9100 on most label "
                               "printers), a device path (/dev/usb/lp0), cups:QUEUE (through lp: "
                               "raw for ZPL, a PDF page otherwise) or dir:FOLDER (a file a "
                               "label)."),
                QStringLiteral("DEST")),
      m_copies(QStringLiteral("label-copies"), QStringLiteral("Copies of each label (default 1)."),
               QStringLiteral("N"), QStringLiteral("1")) {}

QList<QCommandLineOption> PrintOptions::options() const {
    return {m_label, m_printer, m_copies};
}

QString PrintOptions::readCopies(const QCommandLineParser &parser, int &copies) const {
    bool numbered = false;
    copies = parser.value(m_copies).toInt(&numbered);
    if (!numbered || copies < 1 || copies > MostCopies)
        return QStringLiteral("--label-copies takes 1 to %1, not %2")
            .arg(MostCopies)
            .arg(parser.value(m_copies));
    return QString();
}

QString PrintOptions::fill(const QCommandLineParser &parser, station::StationSetup &setup) const {
    setup.labelFile = parser.value(m_label);
    setup.printer = parser.value(m_printer);
    return readCopies(parser, setup.labelCopies);
}

std::variant<std::optional<PrintRequest>, QString> PrintOptions::read(
    const QCommandLineParser &parser) const {
    if (!parser.isSet(m_label) && !parser.isSet(m_printer)) {
        if (parser.isSet(m_copies))
            return QStringLiteral("--label-copies goes with --label and --printer");
        return std::optional<PrintRequest>();
    }
    if (!parser.isSet(m_label) || !parser.isSet(m_printer))
        return QStringLiteral("--label and --printer go together");
    PrintRequest request;
    request.labelFile = parser.value(m_label);
    if (const QString problem = readCopies(parser, request.copies); !problem.isEmpty())
        return problem;
    auto destination = PrinterDestination::parse(parser.value(m_printer));
    if (const auto *problem = std::get_if<QString>(&destination))
        return *problem;
    request.destination = std::get<PrinterDestination>(destination);
    return request;
}

}  // namespace pairwick::printing
