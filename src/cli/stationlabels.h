// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "printing/runlabels.h"

namespace pairwick::station {
class StationRun;
}

namespace pairwick::cli {

class StationView;

// The command line station's labels: the run's labels on the live view and in the JSON lines,
// and the waits a command line makes for them.
class StationLabels : public QObject {
    Q_OBJECT

public:
    StationLabels(const printing::PrintSetup &setup, const QString &spoolFile, StationView &view);
    ~StationLabels() override;

    // Starts printing what an earlier run left. False and why when the queue cannot be used;
    // a note when a kill left labels whose fate is unknown.
    bool start(QString *error, QString *note);
    void follow(station::StationRun &run) { m_labels.follow(run); }
    // Once the run ended by itself: waits for the labels in the queue while the printer takes
    // them, and returns at once when it is away or a stop is asked.
    void drain();
    // Ends the printing thread; what to say of the labels that still wait, if any do.
    QString finish();

signals:
    void drained();

private:
    printing::RunLabels m_labels;
};

}  // namespace pairwick::cli
