// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/browserlauncher.h"

#include <QProcess>

namespace pairwick::about {

BrowserLauncher::~BrowserLauncher() = default;

bool ProcessBrowserLauncher::startDetached(const QString &program, const QStringList &arguments) {
    // No shell in between: the address reaches the browser as one argument, whatever it holds.
    return QProcess::startDetached(program, arguments);
}

QString webBrowserProgram() {
#ifdef Q_OS_WIN
    return QStringLiteral(R"(C:\Program Files\Internet Explorer\IEXPLORE.EXE)");
#else
    return QStringLiteral("xdg-open");
#endif
}

void openWebAddress(BrowserLauncher &launcher, const QString &address) {
    // The About box has nowhere sensible to report a missing browser, so a failure stays silent.
    launcher.startDetached(webBrowserProgram(), {address});
}

}  // namespace pairwick::about
