// SPDX-License-Identifier: GPL-3.0-or-later
#include "faults.h"

namespace pairwick::adaptersim {

void FaultPlan::add(Fault fault, const QByteArray &commandLine) {
    m_commandLines[fault].insert(commandLine);
}

bool FaultPlan::triggers(Fault fault, const QByteArray &commandLine) const {
    const auto lines = m_commandLines.find(fault);
    return lines != m_commandLines.end() && lines->second.contains(commandLine);
}

AdapterState withWrongTokens(const AdapterState &state) {
    AdapterState wrong = state;
    for (Field field :
         {Field::Name, Field::Version, Field::Pin, Field::LocalAddress, Field::BoundAddress}) {
        wrong.setValue(field, state.value(field) + 'X');
    }
    wrong.setValue(Field::Baud, "9601");
    wrong.setValue(Field::Parity, "n");
    wrong.setValue(Field::Stop, "3");
    wrong.setValue(Field::Role, "2");
    wrong.setValue(Field::Messages, "en");
    return wrong;
}

QByteArray noise(qsizetype count, QRandomGenerator &random) {
    QByteArray bytes(count, '\0');
    for (char &byte : bytes) {
        byte = char(random.bounded(0x80, 0x100));
    }
    return bytes;
}

}  // namespace pairwick::adaptersim
