// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QList>

namespace pairwick::fakes {

// Far more than any window holds, so a navigation loop ends the walk instead of the test.
inline constexpr int MostAccessibleNodes = 2000;

// Every valid accessible object reachable from root by child navigation, root first, as a
// screen reader walking the window finds them; at most MostAccessibleNodes.
inline QList<QAccessibleInterface *> accessibleTree(QObject *root) {
    QList<QAccessibleInterface *> found;
    QList<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(root)};
    while (!pending.isEmpty() && found.size() < MostAccessibleNodes) {
        QAccessibleInterface *node = pending.takeFirst();
        if (!node || !node->isValid())
            continue;
        found.append(node);
        for (int i = 0; i < node->childCount(); ++i)
            pending.append(node->child(i));
    }
    return found;
}

}  // namespace pairwick::fakes
