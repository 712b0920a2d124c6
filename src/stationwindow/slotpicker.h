// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

namespace pairwick::stationwindow {

// The slots a run may use: the ports plugged in, each by the socket it sits in where the system
// names one, and any other typed in; the ones ticked are the run's.
class SlotPicker final : public QWidget {
    Q_OBJECT

public:
    explicit SlotPicker(QWidget *parent = nullptr);

    // Adds the ports plugged in since the last look; those gone stay, ticked or not.
    void listPorts();
    // Ticks each slot, listing those not listed yet.
    void tick(const QStringList &names);
    QStringList ticked() const;

signals:
    void changed();

private:
    void addSlot(const QString &name, bool checked);

    QListWidget *m_slots;
    QLineEdit *m_otherSlot;
};

}  // namespace pairwick::stationwindow
