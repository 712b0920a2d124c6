// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandtable.h"

#include <algorithm>

namespace pairwick::adaptersim {

namespace {

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

// The tool cuts replies at fixed positions, so the length of every fixed text here matters,
// not only its content.
const std::vector<QueryLayout> &queryLayouts() {
    static const std::vector<QueryLayout> layouts{
        {"AT+DEVICENAME?", {Field::Name, "\r\n"}},
        {"AT+VER?", {Field::Version, "\r\n"}},
        {"AT+UART?", {Field::Baud, ",8,", Field::Parity, ",", Field::Stop, "\r\n"}},
        {"AT+ROLE?", {Field::Role, "\r\n"}},
        {"AT+MSGENABLE?", {"+MSGEN: ", Field::Messages, "\r\n"}},
        {"AT+PIN?", {"+PIN CODE: ", Field::Pin, "\r\n"}},
        {"AT+ADDR?", {"+LOCALADDR:", Field::LocalAddress, "\r\n"}},
        {"AT+BINDADDR?",
         {"+BINDADDR0:", Field::BoundAddress, "\r\n",
          "+BINDADDR1:\r\n+BINDADDR2:\r\n+BINDADDR3:\r\n+BINDADDR4:\r\n"
          "+BINDADDR5:\r\n+BINDADDR6:\r\n+BINDADDR7:\r\n"}},
    };
    return layouts;
}

struct SetCommand {
    std::string_view prefix;
    Field field;
    // Empty: any text is taken as it is.
    std::vector<std::string_view> accepted;
    // Empty: stored as received; otherwise the entry at the accepted argument's position.
    std::vector<std::string_view> storedAs;
};

const std::vector<SetCommand> &setCommands() {
    static const std::vector<SetCommand> commands{
        {"AT+DEVICENAME=", Field::Name, {}, {}},
        {"AT+UARTBAUDRATE=",
         Field::Baud,
         {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400",
          "256000", "460800"},
         {}},
        {"AT+UARTPARITY=", Field::Parity, {"N", "O", "E"}, {}},
        {"AT+UARTSTOP=", Field::Stop, {"1", "2"}, {}},
        {"AT+ROLE=", Field::Role, {"0", "1"}, {}},
        {"AT+MSGENABLE=", Field::Messages, {"1", "0"}, {"EN", "DI"}},
        {"AT+PIN=", Field::Pin, {}, {}},
        {"AT+BINDADDR0=", Field::BoundAddress, {}, {}},
    };
    return commands;
}

constexpr std::string_view probeCommand = "AT";
constexpr std::string_view resetCommand = "AT+DEFAULT";

Verdict applySetCommand(const SetCommand &command, const QByteArray &argument,
                        AdapterState &state) {
    if (command.accepted.empty()) {
        state.setValue(command.field, argument);
        return Verdict::Accepted;
    }
    const auto match = std::find(command.accepted.begin(), command.accepted.end(),
                                 std::string_view(argument.constData(), argument.size()));
    if (match == command.accepted.end()) {
        return Verdict::Rejected;
    }
    const std::string_view stored =
        command.storedAs.empty() ? *match
                                 : command.storedAs[std::size_t(match - command.accepted.begin())];
    state.setValue(command.field, bytes(stored));
    return Verdict::Accepted;
}

}  // namespace

const QueryLayout *findQuery(const QByteArray &line) {
    const std::vector<QueryLayout> &layouts = queryLayouts();
    const auto match = std::find_if(layouts.begin(), layouts.end(), [&](const QueryLayout &layout) {
        return line == bytes(layout.command);
    });
    return match == layouts.end() ? nullptr : &*match;
}

QByteArray formatValueLine(const QueryLayout &layout, const AdapterState &state) {
    QByteArray line;
    for (const Piece &piece : layout.valueLine) {
        if (const auto *text = std::get_if<std::string_view>(&piece)) {
            line += bytes(*text);
        } else {
            line += state.value(std::get<Field>(piece));
        }
    }
    return line;
}

Verdict applyCommand(const QByteArray &line, AdapterState &state) {
    if (line == bytes(probeCommand)) {
        return Verdict::Accepted;
    }
    if (line == bytes(resetCommand)) {
        // The address belongs to the unit, not to its settings, so a reset leaves it.
        const QByteArray address = state.value(Field::LocalAddress);
        state = AdapterState::factory();
        state.setValue(Field::LocalAddress, address);
        return Verdict::Accepted;
    }
    for (const SetCommand &command : setCommands()) {
        if (line.startsWith(bytes(command.prefix))) {
            return applySetCommand(command, line.sliced(qsizetype(command.prefix.size())), state);
        }
    }
    return Verdict::Rejected;
}

}  // namespace pairwick::adaptersim
