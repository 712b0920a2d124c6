// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/templatemaker.h"

#include <QCoreApplication>
#include <memory>

#include "labels/labeltemplate.h"

namespace pairwick::printing {

std::variant<LabelMaker, QString> templateMaker(const QString &path) {
    auto loaded = labels::LabelTemplate::load(path);
    if (const auto *problem = std::get_if<QString>(&loaded))
        return *problem;
    auto shared =
        std::make_shared<const labels::LabelTemplate>(std::get<labels::LabelTemplate>(loaded));
    return LabelMaker{
        shared->isZpl() ? DocumentKind::Zpl : DocumentKind::Pdf, templateHashOf(path),
        [shared](const labels::LabelValues &values) { return shared->document(values); }};
}

std::optional<PrintSetup> checkLabelSetup(const station::StationSetup &setup,
                                          QList<station::SetupProblem> &problems) {
    const QString labelFile = setup.labelFile.trimmed();
    const QString printer = setup.printer.trimmed();
    if (labelFile.isEmpty() && printer.isEmpty())
        return std::nullopt;
    std::optional<LabelMaker> maker;
    if (labelFile.isEmpty()) {
        problems.append(
            {station::SetupField::Label,
             QCoreApplication::translate("pairwick::printing", "有打印机时须给出标签模板")});
    } else {
        auto made = templateMaker(labelFile);
        if (const auto *problem = std::get_if<QString>(&made))
            problems.append({station::SetupField::Label, *problem});
        else
            maker = std::get<LabelMaker>(std::move(made));
    }
    std::optional<PrinterDestination> destination;
    if (printer.isEmpty()) {
        problems.append(
            {station::SetupField::Printer,
             QCoreApplication::translate("pairwick::printing", "有标签模板时须给出打印机")});
    } else {
        auto parsed = PrinterDestination::parse(printer);
        if (const auto *problem = std::get_if<QString>(&parsed))
            problems.append({station::SetupField::Printer, *problem});
        else if (const QString problem = checkDestination(std::get<PrinterDestination>(parsed));
                 !problem.isEmpty())
            problems.append({station::SetupField::Printer, problem});
        else
            destination = std::get<PrinterDestination>(std::move(parsed));
    }
    if (!maker || !destination)
        return std::nullopt;
    return PrintSetup{*destination, *maker, setup.labelCopies, {}, setup.station.trimmed()};
}

}  // namespace pairwick::printing
