// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/connection.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "feedback/feedback.h"
#include "feedback/messageboxes.h"
#include "link/clock.h"
#include "link/exchange.h"
#include "link/portmap.h"
#include "link/replytests.h"
#include "link/serialport.h"
#include "protocol/commands.h"

namespace pairwick::window {

using link::Exchange;
using link::PortError;
using link::portNumberFromEntry;
using link::ProbeReplyOk;
using link::RunCancelled;
using link::SerialPort;

namespace {

const QString ConnectCaption = QStringLiteral("连接");
const QString DisconnectCaption = QStringLiteral("断开");
const QString PortClosedText = QStringLiteral("串口已关闭！");
const QString PortOpenedText = QStringLiteral("串口已打开！");
const QString ConnectedText = QStringLiteral("连接成功！");
const QString TimeoutText = QStringLiteral("连接蓝牙设备时通信超时！");
const QString ClockPrefix = QStringLiteral("已连接：");
constexpr int PortCount = 16;
constexpr int TickMs = 1000;

void setBackground(QLineEdit *box, const QColor &colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

}  // namespace

QString elapsedText(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

Connection::Connection(const Controls &controls, SerialPort &port, Exchange &exchange,
                       const link::Clock &clock, feedback::Feedback &feedback, QObject *parent)
    : QObject(parent),
      m_controls(controls),
      m_port(port),
      m_exchange(exchange),
      m_clock(clock),
      m_feedback(feedback) {
    connect(&m_port, &SerialPort::deviceLost, this, &Connection::onDeviceLost);
    connect(&m_exchange, &Exchange::runFinished, this, &Connection::onRunFinished);
    connect(m_controls.Combo1, &QComboBox::currentIndexChanged, this,
            &Connection::updatePortTooltip);
}

void Connection::fillPortList() {
    for (int number = 1; number <= PortCount; ++number)
        m_controls.Combo1->addItem(QStringLiteral("COM%1").arg(number));
    m_controls.Combo1->setCurrentIndex(0);
    updatePortTooltip();
    showDown();
}

void Connection::prepareClock() {
    m_controls.Timer1->setInterval(TickMs);
    m_connectTime = m_clock.nowSeconds();
    m_controls.Timer1->stop();
}

bool Connection::isUp() const {
    return m_controls.Command1->text() == DisconnectCaption;
}

void Connection::toggle() {
    if (m_exchange.busy()) {
        // A button that reads 连接 never disconnects: a second click of a double click lands
        // while the probe runs, and must not end the connect it started.
        if (isUp())
            stopRun();
        return;
    }
    if (isUp())
        disconnectLink();
    else
        connectLink();
}

void Connection::connectLink() {
    const int number = portNumberFromEntry(m_controls.Combo1->currentText());
    Exchange::RunScope run(m_exchange);
    try {
        m_port.open(number);
    } catch (const PortError &fault) {
        // The port stays closed and the status line keeps its text.
        m_feedback.boxes().warning(fault.message());
        return;
    }
    m_feedback.setStatus(PortOpenedText);

    QString reply;
    try {
        m_exchange.DiscardInput();
        reply = m_exchange.ExchangeCommand(protocol::ProbeCommand);
    } catch (const PortError &fault) {
        m_port.close();
        m_feedback.setStatus(PortClosedText);
        m_exchange.markLossReported();
        m_feedback.boxes().warning(fault.message());
        return;
    } catch (const RunCancelled &) {
        return;
    }

    if (!ProbeReplyOk(reply)) {
        m_feedback.setStatus(TimeoutText);
        m_feedback.boxes().warning(TimeoutText);
        m_port.close();
        m_feedback.setStatus(PortClosedText);
        return;
    }
    m_controls.Timer1->start();
    m_connectTime = m_clock.nowSeconds();
    m_controls.Command1->setText(DisconnectCaption);
    m_feedback.setStatus(ConnectedText);
    if (m_hooks.clearFields)
        m_hooks.clearFields();
    if (m_hooks.readParameters)
        m_hooks.readParameters();
}

void Connection::disconnectLink() {
    m_port.close();
    showDown();
    m_feedback.setStatus(PortClosedText);
    if (m_hooks.clearFields)
        m_hooks.clearFields();
    m_controls.Command1->setText(ConnectCaption);
}

// A click on Command1 in the middle of a read ends the run at once and leaves the link down.
void Connection::stopRun() {
    m_exchange.cancelRun();
    disconnectLink();
}

void Connection::showDown() {
    setBackground(m_controls.Text1, QApplication::palette().color(QPalette::Button));
    m_controls.Text1->setText(PortClosedText);
}

// Down without a disconnect: the fields stay as they are, so nothing the user typed is lost
// with the device.
void Connection::showLinkLost() {
    showDown();
    m_controls.Command1->setText(ConnectCaption);
}

void Connection::tick() {
    if (!isUp())
        return;
    setBackground(m_controls.Text1, QColor(0, 255, 255));
    m_controls.Text1->setText(ClockPrefix + elapsedText(m_clock.nowSeconds() - m_connectTime));
}

// The device left (unplugged, powered off). While idle the link goes down at once; during a
// run the run reports it, and the look follows when the run has ended.
void Connection::onDeviceLost(const QString &message) {
    if (m_exchange.busy()) {
        m_exchange.recordLoss(message);
        return;
    }
    if (isUp())
        showLinkLost();
    m_feedback.setStatus(PortClosedText);
    m_feedback.boxes().warning(message);
}

void Connection::onRunFinished() {
    const std::optional<QString> loss = m_exchange.takeUnreportedLoss();
    if (m_exchange.cancelled())
        return;
    if (isUp() && !m_port.isOpen())
        showLinkLost();
    if (loss) {
        m_feedback.setStatus(PortClosedText);
        m_feedback.boxes().warning(*loss);
    }
}

void Connection::updatePortTooltip() {
    const int number = portNumberFromEntry(m_controls.Combo1->currentText());
    m_controls.Combo1->setToolTip(number > 0 ? m_port.devicePath(number) : QString());
}

}  // namespace pairwick::window
