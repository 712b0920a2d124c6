// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/accessibility.h"

#include <QAccessibleWidget>
#include <QSet>
#include <QWidget>

#include "accessibility/accessibilitybusguard.h"

namespace pairwick::accessibility {

namespace {

// The toolkit takes a factory as a bare function, so the classes it serves live here.
QSet<QString> &plainWindowClasses() {
    static QSet<QString> classes;
    return classes;
}

QAccessibleInterface *plainWindowAsWindow(const QString &className, QObject *object) {
    if (!plainWindowClasses().contains(className) || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}

}  // namespace

void installAccessibility(const QList<const QMetaObject *> &plainWindows) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(plainWindowAsWindow);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    for (const QMetaObject *window : plainWindows)
        plainWindowClasses().insert(QString::fromLatin1(window->className()));
    AccessibilityBusGuard::installWhenActive();
}

}  // namespace pairwick::accessibility
