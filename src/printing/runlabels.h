// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "printing/labelprinter.h"

namespace pairwick::station {
class StationRun;
}

namespace pairwick::printing {

// A station's labels, for the command line and the window alike: a LabelPrinter fed with the
// run's passed units, and what an operator is to see of it, how many labels wait and why the
// printer takes none.
class RunLabels : public QObject {
    Q_OBJECT

public:
    RunLabels(const PrintSetup &setup, const QString &spoolFile, QObject *parent = nullptr);

    // Starts printing what an earlier run left. False and why when the queue cannot be used.
    bool start(QString *error);
    void follow(station::StationRun &run);
    // Sends no further label once the one under way is out; finished() follows.
    void stop() { m_printer.stop(); }

    int waiting() const { return m_printer.waiting(); }
    // Labels a killed run left half sent, recorded as uncertain when this one started.
    int uncertainAtStart() const { return m_printer.uncertainAtStart(); }
    // Why the printer takes no label now; empty while it does.
    const QString &problem() const { return m_problem; }
    const QString &queueFolder() const { return m_printer.queueFolder(); }

signals:
    // The waiting count or the problem changed.
    void changed();
    // Nothing more goes out for now: no label waits, or the printer took none.
    void drained();
    void labelSent(const QString &batch, qint64 seq);
    void finished();

private:
    void setProblem(const QString &problem);

    LabelPrinter m_printer;
    QString m_problem;
};

}  // namespace pairwick::printing
