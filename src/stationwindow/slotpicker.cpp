// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/slotpicker.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "link/portmap.h"
#include "link/stablename.h"

namespace pairwick::stationwindow {

namespace {

constexpr int PortCount = 16;

}  // namespace

SlotPicker::SlotPicker(QWidget *parent)
    : QWidget(parent), m_slots(new QListWidget(this)), m_otherSlot(new QLineEdit(this)) {
    m_slots->setObjectName(QStringLiteral("slots"));
    m_slots->setMaximumHeight(140);
    m_slots->setAccessibleName(tr("槽"));
    m_otherSlot->setObjectName(QStringLiteral("otherSlot"));
    m_otherSlot->setPlaceholderText(tr("其他端口：COMn 或设备路径，回车添加"));
    m_otherSlot->setAccessibleName(tr("其他端口"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_slots);
    layout->addWidget(m_otherSlot);
    layout->setContentsMargins(0, 0, 0, 0);

    listPorts();
    connect(m_slots, &QListWidget::itemChanged, this, &SlotPicker::changed);
    connect(m_otherSlot, &QLineEdit::returnPressed, this, [this] {
        addSlot(m_otherSlot->text().trimmed(), true);
        m_otherSlot->clear();
    });
}

// By the socket's name where the system gives one: that name stays with the fixture, whatever
// tty the unit comes up as.
void SlotPicker::listPorts() {
    for (int number = 1; number <= PortCount; ++number) {
        const QString device = link::devicePathForPort(number);
        if (!QFileInfo::exists(device))
            continue;
        const QString byPath =
            link::stableDeviceName(device, QStringLiteral("/dev/serial/by-path"));
        addSlot(byPath.isEmpty() ? QStringLiteral("COM%1").arg(number) : byPath, false);
    }
}

void SlotPicker::tick(const QStringList &names) {
    for (const QString &name : names)
        addSlot(name, true);
}

QStringList SlotPicker::ticked() const {
    QStringList names;
    for (int row = 0; row < m_slots->count(); ++row) {
        if (m_slots->item(row)->checkState() == Qt::Checked)
            names.append(m_slots->item(row)->text());
    }
    return names;
}

void SlotPicker::addSlot(const QString &name, bool checked) {
    if (name.isEmpty())
        return;
    const QList<QListWidgetItem *> found = m_slots->findItems(name, Qt::MatchExactly);
    QListWidgetItem *item = found.value(0);
    if (!item) {
        item = new QListWidgetItem(name, m_slots);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (checked)
        item->setCheckState(Qt::Checked);
}

}  // namespace pairwick::stationwindow
