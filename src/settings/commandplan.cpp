// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/commandplan.h"

#include <QtGlobal>

#include "protocol/commands.h"

namespace pairwick::settings {

const std::array<ReadStep, 8> &readSteps() {
    using protocol::TextCut;
    static const std::array<ReadStep, 8> steps{{
        {protocol::DeviceNameQuery, QT_TRANSLATE_NOOP("pairwick::settings", "设备名称"), 10,
         ReadKind::Text, Key::Name, protocol::DeviceNameCut},
        {protocol::VersionQuery, QT_TRANSLATE_NOOP("pairwick::settings", "固件版本号"), 20,
         ReadKind::Text, Key::Version, protocol::VersionCut},
        {protocol::UartQuery, QT_TRANSLATE_NOOP("pairwick::settings", "UART参数"), 30,
         ReadKind::Uart, Key::Baud, TextCut{}},
        {protocol::RoleQuery, QT_TRANSLATE_NOOP("pairwick::settings", "设备的主从角色"), 60,
         ReadKind::Role, Key::Role, TextCut{}},
        {protocol::MessageEnableQuery, QT_TRANSLATE_NOOP("pairwick::settings", "串口提示信息"), 70,
         ReadKind::Messages, Key::Messages, TextCut{}},
        {protocol::PinQuery, QT_TRANSLATE_NOOP("pairwick::settings", "PIN码"), 80, ReadKind::Text,
         Key::Pin, protocol::PinCut},
        {protocol::AddressQuery, QT_TRANSLATE_NOOP("pairwick::settings", "本地蓝牙地址"), 90,
         ReadKind::Text, Key::Address, protocol::AddressCut},
        {protocol::BindAddressQuery, QT_TRANSLATE_NOOP("pairwick::settings", "绑定从端地址"), 100,
         ReadKind::Text, Key::Bind, protocol::BindAddressCut},
    }};
    return steps;
}

const std::array<SetCommand, 8> &setCommands() {
    static const std::array<SetCommand, 8> commands{{
        {Key::Name, protocol::DeviceNameSet, QT_TRANSLATE_NOOP("pairwick::settings", "设备名称"),
         10},
        {Key::Baud, protocol::BaudRateSet, QT_TRANSLATE_NOOP("pairwick::settings", "波特率"), 20},
        {Key::Parity, protocol::ParitySet, QT_TRANSLATE_NOOP("pairwick::settings", "校验位"), 30},
        {Key::Stop, protocol::StopBitsSet, QT_TRANSLATE_NOOP("pairwick::settings", "停止位"), 40},
        {Key::Role, protocol::RoleSet, QT_TRANSLATE_NOOP("pairwick::settings", "设备的主从角色"),
         50},
        {Key::Messages, protocol::MessageEnableSet,
         QT_TRANSLATE_NOOP("pairwick::settings", "串口提示信息"), 60},
        {Key::Pin, protocol::PinSet, QT_TRANSLATE_NOOP("pairwick::settings", "PIN码"), 70},
        {Key::Bind, protocol::BindAddressSet,
         QT_TRANSLATE_NOOP("pairwick::settings", "绑定从端地址"), 80},
    }};
    return commands;
}

}  // namespace pairwick::settings
