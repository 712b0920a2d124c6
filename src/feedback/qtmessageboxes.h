// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QPointer>

#include "feedback/messageboxes.h"

namespace pairwick::feedback {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void warning(const QString &text) override;
    bool confirm(const QString &text) override;
    bool askContinue(const QString &text) override;

private:
    QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString &text,
                                     QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton);

    QPointer<QWidget> m_parent;
};

}  // namespace pairwick::feedback
