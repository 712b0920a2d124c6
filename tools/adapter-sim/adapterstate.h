// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace pairwick::adaptersim {

enum class Field {
    Name,
    Version,
    Baud,
    Parity,
    Stop,
    Role,
    Messages,
    Pin,
    LocalAddress,
    BoundAddress,
};

struct FactoryValue {
    Field field;
    // The field's name in the state lines of the log.
    std::string_view key;
    std::string_view value;
    std::string_view label;
};

// One table for the reset, the usage text and the log, so the three cannot disagree.
inline constexpr std::array<FactoryValue, 10> factoryValues{{
    {Field::Name, "name", "PairwickSim", "device name"},
    {Field::Version, "version", "SIM-1.2.0", "firmware version"},
    {Field::Baud, "baud", "9600", "UART baud rate"},
    {Field::Parity, "parity", "N", "UART parity"},
    {Field::Stop, "stop", "1", "UART stop bits"},
    {Field::Role, "role", "0", "role (0 slave, 1 master)"},
    {Field::Messages, "messages", "EN", "prompt messages"},
    {Field::Pin, "pin", "1234", "PIN"},
    {Field::LocalAddress, "address", "0A1B:2C:3D4E5F", "local address"},
    {Field::BoundAddress, "bind", "0000:00:000000", "bound address"},
}};

// Field lists are kept in the table's order.
using FieldList = std::vector<Field>;

// Values are kept as the bytes the tool sent, so text in any encoding comes back unchanged.
class AdapterState {
public:
    static AdapterState factory();

    const QByteArray &value(Field field) const { return m_values[slot(field)]; }
    void setValue(Field field, const QByteArray &value) { m_values[slot(field)] = value; }

private:
    static std::size_t slot(Field field) { return static_cast<std::size_t>(field); }

    std::array<QByteArray, factoryValues.size()> m_values;
};

// The fields whose stored values differ between the two states.
FieldList changedFields(const AdapterState &before, const AdapterState &after);

std::string_view fieldKey(Field field);

}  // namespace pairwick::adaptersim
