// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace pairwick::adaptersim {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal, so the simulator can end through its
// event loop and remove its link on the way out.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};

}  // namespace pairwick::adaptersim
