// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accessibility.h"

#include <QAccessibleWidget>

#include "window/accessibilitybusguard.h"
#include "window/form1.h"

namespace pairwick::window {

namespace {

// The main window is a plain widget, which the toolkit presents as a bare panel; a screen reader
// announces a window by its role and title.
QAccessibleInterface *mainWindowAsWindow(const QString &className, QObject *object) {
    if (className != QLatin1StringView(Form1::staticMetaObject.className()) ||
        !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}

}  // namespace

void installAccessibility() {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(mainWindowAsWindow);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    AccessibilityBusGuard::installWhenActive();
}

}  // namespace pairwick::window
