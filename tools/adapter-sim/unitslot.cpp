// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitslot.h"

#include "simulator.h"
#include "unitnumbering.h"

#include <utility>

namespace pairwick::adaptersim {

UnitSlot::UnitSlot(Simulator &simulator, UnitNumbering numbering, UnitMaker makeUnit,
                   std::chrono::milliseconds settle, bool startsEmpty, ActivityLog log,
                   QObject *parent)
    : QObject(parent),
      m_simulator(simulator),
      m_numbering(numbering),
      m_makeUnit(std::move(makeUnit)),
      m_log(std::move(log)),
      m_unitsSoFar(startsEmpty ? 0 : 1),
      m_occupied(!startsEmpty) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(settle);
    connect(&m_settle, &QTimer::timeout, this, &UnitSlot::putIn);
}

Responder UnitSlot::firstUnit(const UnitNumbering &numbering, const UnitMaker &makeUnit) {
    const qint64 first = unitSerial(numbering.firstUnit, numbering.ports, numbering.portIndex, 0);
    return makeUnit(first, unitAddress(first));
}

void UnitSlot::start() {
    if (m_occupied) {
        logUnitIn(serial(0));
    }
    m_simulator.start();
}

bool UnitSlot::apply(UnitAction action, QString *reason) {
    switch (action) {
        case UnitAction::Next:
            if (m_settle.isActive()) {
                *reason = QStringLiteral("the next unit is on its way already");
                return false;
            }
            if (m_occupied) {
                takeOut();
            }
            m_settle.start();
            return true;
        case UnitAction::Out:
            if (!m_occupied && !m_settle.isActive()) {
                *reason = QStringLiteral("no unit is in");
                return false;
            }
            // Out while the next unit is on its way: it never arrives.
            m_settle.stop();
            if (m_occupied) {
                takeOut();
            }
            return true;
        case UnitAction::In:
            if (m_occupied) {
                *reason = QStringLiteral("a unit is in already");
                return false;
            }
            m_settle.stop();
            putIn();
            return true;
        case UnitAction::Mute:
            return setMuted(true, reason);
        case UnitAction::Unmute:
            return setMuted(false, reason);
    }
    return false;
}

qint64 UnitSlot::serial(qint64 unitsBefore) const {
    return unitSerial(m_numbering.firstUnit, m_numbering.ports, m_numbering.portIndex, unitsBefore);
}

void UnitSlot::logUnitIn(qint64 serial) const {
    m_log.note(
        QStringLiteral("unit in %1 %2").arg(serial).arg(QString::fromLatin1(unitAddress(serial))));
}

void UnitSlot::takeOut() {
    if (m_simulator.takeOut()) {
        m_occupied = false;
        m_log.note(QStringLiteral("unit out %1").arg(serial(m_unitsSoFar - 1)));
    }
}

void UnitSlot::putIn() {
    const qint64 next = serial(m_unitsSoFar);
    if (m_simulator.putIn(m_makeUnit(next, unitAddress(next)))) {
        ++m_unitsSoFar;
        m_occupied = true;
        logUnitIn(next);
    }
}

bool UnitSlot::setMuted(bool muted, QString *reason) {
    if (!m_occupied) {
        *reason = QStringLiteral("no unit is in");
        return false;
    }
    if (m_simulator.isMuted() == muted) {
        *reason = muted ? QStringLiteral("the unit is muted already")
                        : QStringLiteral("the unit is not muted");
        return false;
    }
    m_simulator.setMuted(muted);
    m_log.note(QStringLiteral("unit %1 %2")
                   .arg(muted ? QLatin1String("mute") : QLatin1String("unmute"))
                   .arg(serial(m_unitsSoFar - 1)));
    return true;
}

}  // namespace pairwick::adaptersim
