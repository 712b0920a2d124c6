// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/form1.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QTimer>

#include "about/frmabout.h"
#include "about/programicon.h"
#include "accessibility/accessibilitynames.h"
#include "accessibility/announcer.h"
#include "feedback/feedback.h"
#include "link/exchange.h"
#include "link/serialport.h"
#include "parameters/defaultoperation.h"
#include "parameters/parameterfields.h"
#include "parameters/parameterreader.h"
#include "parameters/saveoperation.h"
#include "ui_form1.h"
#include "window/connection.h"
#include "window/framestyle.h"

namespace pairwick::window {

Form1::Form1(const Services &services, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>()), m_services(services) {
    ui->setupUi(this);
    accessibility::nameFieldsByTheirLabels(*this);
    setFixedSize(size());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(about::programIcon());
    ui->ProgressBar1->raise();
    // Owned here as an object, and created after the frames, so it outlives them.
    auto *frameStyle = new FrameStyle;
    frameStyle->setParent(this);
    for (QGroupBox *frame : {ui->Frame1, ui->Frame2, ui->Frame3})
        frame->setStyle(frameStyle);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    m_feedback =
        std::make_unique<feedback::Feedback>(*ui->StatusBar1, *ui->ProgressBar1, services.boxes);
    // Owned by the status bar, whose texts it passes on.
    new accessibility::Announcer(*ui->StatusBar1);
    m_exchange = std::make_unique<link::Exchange>(services.port, services.waiter);
    m_connection = std::make_unique<Connection>(
        Connection::Controls{ui->Command1, ui->Text1, ui->Combo1, Timer1}, services.port,
        *m_exchange, services.clock, *m_feedback);
    m_fields = std::make_unique<parameters::ParameterFields>(parameters::ParameterFields::Controls{
        ui->Text2, ui->Text3, ui->Combo2, ui->Combo3, ui->Combo4, ui->Option1, ui->Option2,
        ui->Check1, ui->Text4, ui->Text5, ui->Text6});
    m_reader = std::make_unique<parameters::ParameterReader>(*m_fields, *m_exchange, *m_feedback);
    m_save = std::make_unique<parameters::SaveOperation>(*m_fields, *m_exchange, *m_feedback);
    m_default = std::make_unique<parameters::DefaultOperation>(*m_fields, *m_reader, *m_exchange,
                                                               *m_feedback);
    m_connection->setHooks({[this] { m_fields->ClearParameterFields(); },
                            [this] { m_reader->ReadAdapterParameters(); }});

    connectHandlers();
    load();
}

Form1::~Form1() = default;

about::frmAbout *Form1::aboutDialog() const {
    return m_about;
}

void Form1::load() {
    m_connection->fillPortList();
    ui->ProgressBar1->hide();
    m_feedback->setStatus(tr("准备"));
    m_connection->prepareClock();
    ui->Text5->setFocus();
}

void Form1::connectHandlers() {
    connect(ui->Command1, &QPushButton::clicked, m_connection.get(), &Connection::toggle);
    connect(ui->Command2, &QPushButton::clicked, this, [this] { whenIdle(&Form1::query); });
    connect(ui->Command3, &QPushButton::clicked, this, [this] { whenIdle(&Form1::save); });
    connect(ui->Command4, &QPushButton::clicked, this,
            [this] { whenIdle(&Form1::restoreDefaults); });
    connect(ui->Command5, &QPushButton::clicked, this, &Form1::help);
    connect(ui->Command6, &QPushButton::clicked, this, &Form1::exitNow);
    connect(Timer1, &QTimer::timeout, m_connection.get(), &Connection::tick);
}

// One run at a time talks to the port: a click that would start a second one while the first
// waits its second is ignored.
void Form1::whenIdle(void (Form1::*operation)()) {
    if (!m_exchange->busy())
        (this->*operation)();
}

void Form1::query() {
    m_reader->query();
}

void Form1::save() {
    m_save->save();
}

void Form1::restoreDefaults() {
    m_default->restoreDefaults();
}

void Form1::help() {
    if (m_about)
        return;
    m_about = new about::frmAbout(m_services.launcher);
    m_about->show();
}

void Form1::exitNow() {
    endSession();
    if (m_about)
        m_about->close();
    hide();
    emit exitRequested();
}

// Nothing more goes to the adapter, and the port is released.
void Form1::endSession() {
    m_exchange->cancelRun();
    m_services.port.close();
}

void Form1::closeEvent(QCloseEvent *event) {
    endSession();
    event->accept();
}

// Command1 is the window's default button: Enter presses it unless another button has the focus.
void Form1::keyPressEvent(QKeyEvent *event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto *focused = qobject_cast<QPushButton *>(focusWidget());
    (focused ? focused : ui->Command1)->animateClick();
}

}  // namespace pairwick::window
