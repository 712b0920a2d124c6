// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <array>
#include <cstddef>
#include <string_view>

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
    std::string_view value;
    std::string_view label;
};

// One table for both the reset and the usage text, so the two cannot disagree.
inline constexpr std::array<FactoryValue, 10> factoryValues{{
    {Field::Name, "PairwickSim", "device name"},
    {Field::Version, "SIM-1.2.0", "firmware version"},
    {Field::Baud, "9600", "UART baud rate"},
    {Field::Parity, "N", "UART parity"},
    {Field::Stop, "1", "UART stop bits"},
    {Field::Role, "0", "role (0 slave, 1 master)"},
    {Field::Messages, "EN", "prompt messages"},
    {Field::Pin, "1234", "PIN"},
    {Field::LocalAddress, "0017:EA:0911CD", "local address"},
    {Field::BoundAddress, "0000:00:000000", "bound address"},
}};

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

}  // namespace pairwick::adaptersim
