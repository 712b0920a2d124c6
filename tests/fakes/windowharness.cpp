// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowharness.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

namespace pairwick::fakes {

namespace {

class VisibilityRecorder : public QObject {
public:
    VisibilityRecorder(QStringList &records, QObject *parent)
        : QObject(parent), m_records(records) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show)
            m_records.append(QStringLiteral("shown"));
        else if (event->type() == QEvent::Hide)
            m_records.append(QStringLiteral("hidden"));
        return QObject::eventFilter(watched, event);
    }

private:
    QStringList &m_records;
};

}  // namespace

WindowHarness::WindowHarness() {
    port.setAdapter([this](const QString &line) { return adapter.answer(line); });
    form = std::make_unique<window::Form1>(window::Services{port, waiter, clock, boxes, launcher});
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("main window was not exposed");
    QObject::connect(find<QStatusBar>("StatusBar1"), &QStatusBar::messageChanged, form.get(),
                     [this](const QString &text) { statuses.append(text); });
    QProgressBar *bar = progressBar();
    QObject::connect(bar, &QProgressBar::valueChanged, form.get(),
                     [this](int value) { progress.append(QString::number(value)); });
    bar->installEventFilter(new VisibilityRecorder(progress, bar));
}

WindowHarness::~WindowHarness() = default;

void WindowHarness::click(const char *buttonName) {
    find<QAbstractButton>(buttonName)->click();
}

void WindowHarness::connectAdapter() {
    click("Command1");
    forgetRecords();
}

void WindowHarness::forgetRecords() {
    statuses.clear();
    progress.clear();
    boxes.clear();
}

QProgressBar *WindowHarness::progressBar() const {
    return find<QProgressBar>("ProgressBar1");
}

void WindowHarness::tickLinkClock() const {
    auto *timer = form->findChild<QTimer *>(QStringLiteral("Timer1"));
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

bool WindowHarness::progressShown() const {
    return !progressBar()->isHidden();
}

}  // namespace pairwick::fakes
