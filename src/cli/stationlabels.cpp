// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationlabels.h"

#include <QEventLoop>

#include "cli/stationview.h"

namespace pairwick::cli {

StationLabels::StationLabels(const printing::PrintSetup &setup, const QString &spoolFile,
                             StationView &view)
    : m_labels(setup, spoolFile) {
    connect(&m_labels, &printing::RunLabels::changed, this,
            [this, &view] { view.labelsWaiting(m_labels.waiting(), m_labels.problem()); });
    connect(&m_labels, &printing::RunLabels::labelSent, this,
            [&view](const QString &, qint64 seq) { view.labelSent(seq); });
    connect(&m_labels, &printing::RunLabels::drained, this, &StationLabels::drained);
}

StationLabels::~StationLabels() = default;

bool StationLabels::start(QString *error, QString *note) {
    if (!m_labels.start(error))
        return false;
    if (const int uncertain = m_labels.uncertainAtStart(); uncertain > 0)
        *note = QStringLiteral(
                    "%1 labels were being sent when this station was killed; whether "
                    "they printed is unknown: they are recorded as uncertain "
                    "('pairwick-cli ledger labels') and not sent again")
                    .arg(uncertain);
    return true;
}

void StationLabels::drain() {
    if (m_labels.waiting() == 0 || !m_labels.problem().isEmpty())
        return;
    QEventLoop loop;
    connect(this, &StationLabels::drained, &loop, &QEventLoop::quit);
    loop.exec();
}

QString StationLabels::finish() {
    m_labels.stop();
    QEventLoop loop;
    connect(&m_labels, &printing::RunLabels::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (m_labels.waiting() == 0)
        return QString();
    return QStringLiteral(
               "%1 labels were not printed yet; they wait in %2 and print at this "
               "station's next start, or with 'pairwick-cli label print --pending'")
        .arg(m_labels.waiting())
        .arg(m_labels.queueFolder());
}

}  // namespace pairwick::cli
