// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "about/browserlauncher.h"
#include "about/programicon.h"
#include "accessibility/accessibility.h"
#include "app/commandline.h"
#include "feedback/qtmessageboxes.h"
#include "i18n/translation.h"
#include "link/clock.h"
#include "link/commport.h"
#include "link/eventloopwaiter.h"
#include "link/trafficlog.h"
#include "window/form1.h"

int main(int argc, char *argv[]) {
    const auto parsed = pairwick::app::parseCommandLine(pairwick::app::argumentsOf(argc, argv));
    if (const auto *exit = std::get_if<pairwick::app::EarlyExit>(&parsed))
        return pairwick::app::finish(*exit);
    const auto &options = std::get<pairwick::app::Options>(parsed);

    // A log that cannot be written is a usage error, told before any window.
    std::unique_ptr<pairwick::link::TrafficLog> log;
    if (!options.logFile.isEmpty()) {
        log = std::make_unique<pairwick::link::TrafficLog>();
        QString error;
        if (!log->open(options.logFile, &error))
            return pairwick::app::finish({2, QStringLiteral("pairwick: %1\n").arg(error)});
    }

    QApplication app(argc, argv);
    const auto translation = pairwick::i18n::installTranslation(options.language);
    pairwick::accessibility::installAccessibility({&pairwick::window::Form1::staticMetaObject});
    QApplication::setApplicationName(QStringLiteral("pairwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tarnholt.Pairwick"));
    QApplication::setWindowIcon(pairwick::about::programIcon());

    pairwick::link::CommPort port;
    port.setTrafficLog(log.get());
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
    // The window has no place for it, and the one who asked for the log reads the terminal.
    if (log && !log->writeError().isEmpty())
        std::fputs(qPrintable(QStringLiteral("pairwick: %1\n").arg(log->writeError())), stderr);
    return result;
}
