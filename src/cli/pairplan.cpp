// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/pairplan.h"

#include "cli/clirequest.h"

namespace pairwick::cli {

using settings::Key;

std::variant<PairPlan, QString> planPair(const CliRequest &request,
                                         const settings::AdapterSettings &masterHolds,
                                         const settings::AdapterSettings &slaveHolds) {
    const QString &masterPort = request.ports[0];
    const QString &slavePort = request.ports[1];
    PairPlan plan;
    // As the slave reported it: a master bound to a tidied-up address would look for nothing.
    plan.address = slaveHolds.value(Key::Address);
    if (plan.address.trimmed().isEmpty())
        return QStringLiteral("%1 (slave) reports no address to bind %2 to")
            .arg(slavePort, masterPort);
    if (masterHolds.value(Key::Address) == plan.address)
        return QStringLiteral("%1 and %2 are the same adapter: both report the address %3")
            .arg(masterPort, slavePort, plan.address);
    const QString addressProblem = settings::valueProblem(Key::Bind, plan.address);
    if (!addressProblem.isEmpty())
        return QStringLiteral("the address of %1 (slave), \"%2\", cannot be bound: it %3")
            .arg(slavePort, plan.address, addressProblem);

    plan.pin = request.desired.has(Key::Pin) ? request.desired.value(Key::Pin)
                                             : masterHolds.value(Key::Pin);
    const QString pinProblem = settings::valueProblem(Key::Pin, plan.pin);
    if (!pinProblem.isEmpty())
        return QStringLiteral("the PIN of %1 (master), \"%2\", cannot be written to %3: it %4")
            .arg(masterPort, plan.pin, slavePort, pinProblem);

    plan.master = request.desired;
    plan.master.merge(request.masterOnly);
    plan.master.set(Key::Bind, plan.address);
    plan.master.set(Key::Pin, plan.pin);
    plan.slave = request.desired;
    plan.slave.merge(request.slaveOnly);
    plan.slave.set(Key::Pin, plan.pin);
    return plan;
}

}  // namespace pairwick::cli
