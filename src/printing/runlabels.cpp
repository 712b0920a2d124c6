// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/runlabels.h"

#include "printing/passlabel.h"
#include "station/stationrun.h"

namespace pairwick::printing {

RunLabels::RunLabels(const PrintSetup &setup, const QString &spoolFile, QObject *parent)
    : QObject(parent), m_printer(setup, labelQueueFolderFor(spoolFile)) {
    connect(&m_printer, &LabelPrinter::waitingChanged, this, [this](int waiting) {
        emit changed();
        if (waiting == 0)
            emit drained();
    });
    connect(&m_printer, &LabelPrinter::labelSent, this, &RunLabels::labelSent);
    for (const auto signal : {&LabelPrinter::printerAway, &LabelPrinter::failed})
        connect(&m_printer, signal, this, [this](const QString &reason) {
            setProblem(reason);
            emit drained();
        });
    connect(&m_printer, &LabelPrinter::printerBack, this, [this] { setProblem(QString()); });
    connect(&m_printer, &LabelPrinter::finished, this, &RunLabels::finished);
}

bool RunLabels::start(QString *error) {
    if (!m_printer.start(error))
        return false;
    emit changed();
    return true;
}

void RunLabels::follow(station::StationRun &run) {
    connect(&run, &station::StationRun::unitFinished, this,
            [this, &run](int, const station::UnitReport &report) {
                const auto values = passLabelValues(report, run.config());
                if (!values)
                    return;
                if (QString error; !m_printer.addPass(*values, &error))
                    setProblem(error);
            });
}

void RunLabels::setProblem(const QString &problem) {
    m_problem = problem;
    emit changed();
}

}  // namespace pairwick::printing
