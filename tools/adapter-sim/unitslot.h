// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activitylog.h"
#include "controlcommand.h"
#include "responder.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace pairwick::adaptersim {

class Simulator;

struct UnitNumbering {
    qint64 firstUnit = 1;
    int ports = 1;
    int portIndex = 0;
};

// One port of a production station: the operator takes units out of it and puts the next ones
// in, each a fresh adapter with its own serial and address, played by the port's simulator.
class UnitSlot : public QObject {
    Q_OBJECT

public:
    // The factory-fresh adapter with the given serial and address.
    using UnitMaker = std::function<Responder(qint64 serial, const QByteArray &address)>;

    // The simulator holds the slot's first unit already, unless it was opened empty.
    UnitSlot(Simulator &simulator, UnitNumbering numbering, UnitMaker makeUnit,
             std::chrono::milliseconds settle, bool startsEmpty, ActivityLog log,
             QObject *parent = nullptr);

    static Responder firstUnit(const UnitNumbering &numbering, const UnitMaker &makeUnit);

    void start();
    // False, with the reason, for an action that makes no sense in the slot as it is.
    bool apply(UnitAction action, QString *reason);

private:
    qint64 serial(qint64 unitsBefore) const;
    void logUnitIn(qint64 serial) const;
    void takeOut();
    void putIn();
    bool setMuted(bool muted, QString *reason);

    Simulator &m_simulator;
    UnitNumbering m_numbering;
    UnitMaker m_makeUnit;
    ActivityLog m_log;
    // Runs while a taken-out unit's successor is on its way.
    QTimer m_settle;
    qint64 m_unitsSoFar;
    bool m_occupied;
};

}  // namespace pairwick::adaptersim
