// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "about/programicon.h"
#include "accessibility/accessibility.h"
#include "i18n/translation.h"
#include "link/trafficlog.h"
#include "stationapp/stationcommandline.h"
#include "stationwindow/stationwindow.h"

int main(int argc, char *argv[]) {
    using namespace pairwick;
    const auto parsed = stationapp::parseStationCommandLine(app::argumentsOf(argc, argv));
    if (const auto *exit = std::get_if<app::EarlyExit>(&parsed))
        return app::finish(*exit);
    const auto &options = std::get<stationapp::StationOptions>(parsed);

    // A log that cannot be written is a usage error, told before any window.
    std::unique_ptr<link::TrafficLog> log;
    if (!options.logFile.isEmpty()) {
        log = std::make_unique<link::TrafficLog>();
        QString error;
        if (!log->open(options.logFile, &error))
            return app::finish({2, QStringLiteral("pairwick-station: %1\n").arg(error)});
    }

    QApplication application(argc, argv);
    const auto translation = i18n::installTranslation(options.language);
    accessibility::installAccessibility({});
    QApplication::setApplicationName(QStringLiteral("pairwick-station"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tarnholt.PairwickStation"));
    QApplication::setWindowIcon(about::programIcon());

    stationwindow::StationWindow window(options.setup, log.get());
    window.show();
    if (options.startAtOnce)
        window.start();
    const int result = QApplication::exec();
    if (log && !log->writeError().isEmpty())
        std::fputs(qPrintable(QStringLiteral("pairwick-station: %1\n").arg(log->writeError())),
                   stderr);
    return result;
}
