// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace pairwick::cli {

// Turns SIGINT and SIGTERM into a signal on the event loop; the handler itself only writes one
// byte to a pipe, the one thing a signal handler may safely do.
class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

}  // namespace pairwick::cli
