// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace pairwick::about {

// Starts a program without waiting for it; tests put a recorder in its place.
class BrowserLauncher {
public:
    virtual ~BrowserLauncher();
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

class ProcessBrowserLauncher final : public BrowserLauncher {
public:
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

// The program that shows a web page on this platform; it takes the address as its one argument.
QString webBrowserProgram();

// Opens the address in the web browser. A browser that does not start is silently ignored.
void openWebAddress(BrowserLauncher &launcher, const QString &address);

}  // namespace pairwick::about
