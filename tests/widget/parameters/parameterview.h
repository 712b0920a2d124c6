// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "windowharness.h"

// Reads the parameter controls the way a user looks at them.
struct ParameterView {
    const pairwick::fakes::WindowHarness &harness;

    QString text(const char *name) const { return harness.find<QLineEdit>(name)->text(); }
    QString listText(const char *name) const {
        return harness.find<QComboBox>(name)->currentText();
    }
    int listIndex(const char *name) const { return harness.find<QComboBox>(name)->currentIndex(); }
    bool master() const { return harness.find<QRadioButton>("Option1")->isChecked(); }
    bool slave() const { return harness.find<QRadioButton>("Option2")->isChecked(); }
    bool messages() const { return harness.find<QCheckBox>("Check1")->checkState() == Qt::Checked; }
    bool boundAddressLocked() const {
        const auto *box = harness.find<QLineEdit>("Text6");
        const QPalette system = QApplication::palette();
        const bool onButtonFace =
            box->palette().color(QPalette::Base) == system.color(QPalette::Button);
        const bool onWindow = box->palette().color(QPalette::Base) == system.color(QPalette::Base);
        Q_ASSERT(onButtonFace != onWindow);
        return box->isReadOnly() && onButtonFace;
    }
    bool boundAddressEditable() const {
        const auto *box = harness.find<QLineEdit>("Text6");
        return !box->isReadOnly() && box->palette().color(QPalette::Base) ==
                                         QApplication::palette().color(QPalette::Base);
    }
    QString caption() const { return harness.find<QPushButton>("Command1")->text(); }
};

// What one click of an operation's button sent and how many seconds it waited.
struct RunRecord {
    QStringList lines;
    int waits;
};

// Connects (the connect reads the adapter into the fields), lets `prepare` act, then clicks
// `button` and keeps only what that click did.
inline RunRecord connectThenClick(
    pairwick::fakes::WindowHarness &harness, const char *button,
    const std::function<void(pairwick::fakes::WindowHarness &)> &prepare = {}) {
    harness.connectAdapter();
    if (prepare)
        prepare(harness);
    const qsizetype written = harness.port.written().size();
    const int waits = harness.waiter.waits();
    harness.click(button);
    return {harness.port.writtenLines().mid(written), harness.waiter.waits() - waits};
}
