// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationlabels.h"

#include <QEventLoop>

#include "cli/stationview.h"
#include "printing/passlabel.h"
#include "station/stationrun.h"

namespace pairwick::cli {

StationLabels::StationLabels(const printing::PrintSetup &setup, const QString &spoolFile,
                             StationView &view)
    : m_printer(setup, printing::labelQueueFolderFor(spoolFile)), m_view(view) {
    connect(&m_printer, &printing::LabelPrinter::waitingChanged, this, [this](int waiting) {
        show();
        if (waiting == 0)
            emit drained();
    });
    connect(&m_printer, &printing::LabelPrinter::labelSent, this,
            [this](const QString &, qint64 seq) { m_view.labelSent(seq); });
    connect(&m_printer, &printing::LabelPrinter::printerAway, this, [this](const QString &reason) {
        m_problem = reason;
        show();
        emit drained();
    });
    connect(&m_printer, &printing::LabelPrinter::printerBack, this, [this] {
        m_problem.clear();
        show();
    });
    connect(&m_printer, &printing::LabelPrinter::failed, this, [this](const QString &reason) {
        m_problem = reason;
        show();
        emit drained();
    });
}

StationLabels::~StationLabels() = default;

bool StationLabels::start(QString *error, QString *note) {
    if (!m_printer.start(error))
        return false;
    if (const int uncertain = m_printer.uncertainAtStart(); uncertain > 0)
        *note = QStringLiteral(
                    "%1 labels were being sent when this station was killed; whether "
                    "they printed is unknown: they are recorded as uncertain "
                    "('pairwick-cli ledger labels') and not sent again")
                    .arg(uncertain);
    show();
    return true;
}

void StationLabels::follow(station::StationRun &run) {
    connect(&run, &station::StationRun::unitFinished, this,
            [this, &run](int, const station::UnitReport &report) {
                const auto values = printing::passLabelValues(report, run.config());
                if (!values)
                    return;
                if (QString error; !m_printer.addPass(*values, &error)) {
                    m_problem = error;
                    show();
                }
            });
}

void StationLabels::drain() {
    if (m_printer.waiting() == 0 || !m_problem.isEmpty())
        return;
    QEventLoop loop;
    connect(this, &StationLabels::drained, &loop, &QEventLoop::quit);
    loop.exec();
}

QString StationLabels::finish() {
    m_printer.stop();
    QEventLoop loop;
    connect(&m_printer, &printing::LabelPrinter::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (m_printer.waiting() == 0)
        return QString();
    return QStringLiteral(
               "%1 labels were not printed yet; they wait in %2 and print at this "
               "station's next start, or with 'pairwick-cli label print --pending'")
        .arg(m_printer.waiting())
        .arg(m_printer.queueFolder());
}

void StationLabels::show() {
    m_view.labelsWaiting(m_printer.waiting(), m_problem);
}

}  // namespace pairwick::cli
