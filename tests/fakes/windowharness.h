// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <memory>

#include "fakeclock.h"
#include "fakeport.h"
#include "recordinglauncher.h"
#include "scriptedadapter.h"
#include "scriptedmessageboxes.h"
#include "virtualwaiter.h"
#include "window/form1.h"

class QAbstractButton;
class QProgressBar;

namespace pairwick::fakes {

// The real main window with every seam replaced: an in-memory port answered by a scripted
// adapter, virtual seconds, a fixed clock and scripted message boxes. Records every status text
// and every change of the progress bar ("shown", "hidden" and values) in order.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    template <typename Widget>
    Widget *find(const char *objectName) const {
        return form->findChild<Widget *>(QString::fromLatin1(objectName));
    }
    void click(const char *buttonName);
    // Connects to the scripted adapter and forgets what that recorded.
    void connectAdapter();
    void forgetRecords();
    QProgressBar *progressBar() const;
    // One tick of the link clock, without waiting a real second.
    void tickLinkClock() const;
    bool progressShown() const;

    ScriptedAdapter adapter;
    FakePort port;
    VirtualWaiter waiter;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    RecordingLauncher launcher;
    std::unique_ptr<window::Form1> form;
    QStringList statuses;
    QStringList progress;
};

}  // namespace pairwick::fakes
