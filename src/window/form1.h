// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class QTimer;

namespace Ui {
class Form1;
}

namespace pairwick {

namespace about {
class BrowserLauncher;
class frmAbout;
}  // namespace about
namespace feedback {
class Feedback;
class MessageBoxes;
}  // namespace feedback
namespace link {
class Clock;
class Exchange;
class SerialPort;
class Waiter;
}  // namespace link
namespace parameters {
class DefaultOperation;
class ParameterFields;
class ParameterReader;
class SaveOperation;
}  // namespace parameters

namespace window {

class Connection;

// What stands between the window and the world; tests hand in doubles.
struct Services {
    link::SerialPort &port;
    link::Waiter &waiter;
    const link::Clock &clock;
    feedback::MessageBoxes &boxes;
    about::BrowserLauncher &launcher;
};

// The main window: every control, the port, the link clock and the operations behind the
// buttons.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    about::frmAbout *aboutDialog() const;

signals:
    // Exit was clicked: the application ends now, whatever was running.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void load();
    void connectHandlers();
    void whenIdle(void (Form1::*operation)());
    void query();
    void save();
    void restoreDefaults();
    void help();
    void exitNow();
    void endSession();

    std::unique_ptr<Ui::Form1> ui;
    QTimer *Timer1;
    Services m_services;
    std::unique_ptr<feedback::Feedback> m_feedback;
    std::unique_ptr<link::Exchange> m_exchange;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<parameters::ParameterFields> m_fields;
    std::unique_ptr<parameters::ParameterReader> m_reader;
    std::unique_ptr<parameters::SaveOperation> m_save;
    std::unique_ptr<parameters::DefaultOperation> m_default;
    QPointer<about::frmAbout> m_about;
};

}  // namespace window
}  // namespace pairwick
