// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pairwick::feedback {
class Feedback;
}

namespace pairwick::link {
class Clock;
class Exchange;
class SerialPort;
}  // namespace pairwick::link

namespace pairwick::window {

// The Connect/Disconnect toggle, the "AT" probe and the link clock. The link counts as up
// exactly while Command1 reads "断开".
class Connection : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QPushButton *Command1;
        QLineEdit *Text1;
        QComboBox *Combo1;
        QTimer *Timer1;
    };
    struct Hooks {
        std::function<void()> clearFields;
        // Runs inside the connect click once the probe passed.
        std::function<void()> readParameters;
    };

    Connection(const Controls &controls, link::SerialPort &port, link::Exchange &exchange,
               const link::Clock &clock, feedback::Feedback &feedback, QObject *parent = nullptr);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // The link's parts of the window's load step.
    void fillPortList();
    void prepareClock();
    // Command1: connect or disconnect as the caption says; during a run, stop it first.
    void toggle();
    // Timer1.
    void tick();

    bool isUp() const;
    qint64 connectTime() const { return m_connectTime; }

private:
    void connectLink();
    void disconnectLink();
    void stopRun();
    void showDown();
    void showLinkLost();
    void onDeviceLost(const QString &message);
    void onRunFinished();
    void updatePortTooltip();

    Controls m_controls;
    link::SerialPort &m_port;
    link::Exchange &m_exchange;
    const link::Clock &m_clock;
    feedback::Feedback &m_feedback;
    Hooks m_hooks;
    qint64 m_connectTime = 0;
};

// The link clock's text: total hours, then minutes and seconds, e.g. "27:03:10".
QString elapsedText(qint64 seconds);

}  // namespace pairwick::window
