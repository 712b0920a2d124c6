// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>

#include "about/browserlauncher.h"
#include "feedback/qtmessageboxes.h"
#include "link/clock.h"
#include "link/commport.h"
#include "link/eventloopwaiter.h"
#include "window/accessibility.h"
#include "window/form1.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    pairwick::window::installAccessibility();
    QApplication::setApplicationName(QStringLiteral("pairwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tarnholt.Pairwick"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pairwick/icon.png")));

    pairwick::link::CommPort port;
    pairwick::link::EventLoopWaiter waiter;
    pairwick::link::SystemClock clock;
    pairwick::feedback::QtMessageBoxes boxes;
    pairwick::about::ProcessBrowserLauncher launcher;
    pairwick::window::Form1 form({port, waiter, clock, boxes, launcher});
    boxes.setParent(&form);
    QObject::connect(&form, &pairwick::window::Form1::exitRequested, &app,
                     [] { QApplication::exit(0); });
    form.show();
    const int result = QApplication::exec();
    // An About dialog left open is parentless; it goes with the program.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != &form && !window->parentWidget())
            window->deleteLater();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
