// SPDX-License-Identifier: GPL-3.0-or-later
#include "helptext.h"

#include "adapterstate.h"
#include "chaos.h"

#include <string_view>

namespace pairwick::adaptersim {

namespace {

QLatin1String latin1(std::string_view text) {
    return QLatin1String(text.data(), qsizetype(text.size()));
}

QString factoryTable() {
    QString text = QStringLiteral(
        "\nFactory state (AT+DEFAULT restores it, whatever the start options were, but keeps\n"
        "the local address):\n");
    for (const FactoryValue &entry : factoryValues) {
        text += QStringLiteral("  %1 %2\n")
                    .arg(latin1(entry.label) + QLatin1Char(':'), -26)
                    .arg(latin1(entry.value));
    }
    text += QStringLiteral(
        "With --adapters N above 1 each adapter has a local address of its own instead, the\n"
        "port's number in the form of a unit address (COM4: 0A51:00:000004).\n"
        "\nCMD is a whole command line without CR LF, e.g. AT+VER?; each fault switch may be\n"
        "given more than once. A command that gets a faulty reply still takes effect, unless\n"
        "--error-on refuses it.\n");
    return text;
}

QString chaosTable() {
    QString text = QStringLiteral(
        "\nChaos faults (--chaos-faults takes a comma-separated list of these names):\n");
    for (const ChaosKind &kind : chaosKinds()) {
        text +=
            QStringLiteral("  %1 %2\n").arg(latin1(kind.name), -13).arg(latin1(kind.description));
    }
    return text;
}

QString logFormat() {
    QStringList keys;
    for (const FactoryValue &entry : factoryValues) {
        keys.append(latin1(entry.key));
    }
    return QStringLiteral(
               "\nOutput, one line each (--quiet keeps only the ready lines):\n"
               "  ready LINK -> TERMINAL              per adapter in port order, before the rest\n"
               "  TIME [PORT ]<- LINE                 a received command line\n"
               "  TIME [PORT ]-> BYTES                a reply as it starts to go out\n"
               "  TIME [PORT ]state FIELD=VALUE       a stored value a command changed\n"
               "  TIME [PORT ]chaos FAULT on LINE     the fault chaos mode played on a line\n"
               "  TIME [PORT ]returned LINK -> TERMINAL  a vanished adapter is back\n"
               "  TIME [PORT ]unit in SERIAL ADDRESS  with --units: a unit was put in\n"
               "  TIME [PORT ]unit out SERIAL         with --units: a unit was taken out\n"
               "  TIME [PORT ]unit mute SERIAL        with --units: the unit stopped answering\n"
               "  TIME [PORT ]unit unmute SERIAL      with --units: the unit answers again\n"
               "TIME is HH:MM:SS.mmm local time. PORT (e.g. COM2) appears only when more than\n"
               "one adapter runs. FIELD is one of\n  %1.\n"
               "VALUE is the value as stored (role 0 or 1, messages EN or DI). LINE, BYTES and\n"
               "VALUE show printable ASCII as it is, CR LF TAB and backslash as \\r \\n \\t \\\\,\n"
               "any other byte as \\xHH. Other lines are notes for people.\n")
        .arg(keys.join(QLatin1String(", ")));
}

QString unitMode() {
    return QStringLiteral(
        "\nUnit mode (--units): each port plays one unit after another. With P ports, the\n"
        "k-th unit (from 0) of the i-th port (from 0) has serial FIRST + k*P + i, FIRST\n"
        "being --first-unit, and local address 0A51:SS:SSSSSS, the serial's last eight\n"
        "decimal digits (serial 1234: 0A51:00:001234). Each unit starts as the start\n"
        "switches say, with its own address, and chaos draws its faults from SEED and\n"
        "the serial. Standard input takes one control line each, PORT as for --port:\n"
        "  next PORT    take the unit out; the next goes in after --unit-settle\n"
        "  out PORT     take the unit out and leave the port empty\n"
        "  in PORT      put the next unit in at once\n"
        "  mute PORT    the terminal stays, but nothing answers and lines are lost\n"
        "  unmute PORT  answer again\n"
        "A unit taken out leaves the link pointing at nothing (--unplug udev: its by-path\n"
        "link goes); the next one comes in under the same link on a new terminal. A line\n"
        "that does not apply is reported on standard error and ignored; the end of\n"
        "standard input changes nothing.\n");
}

}  // namespace

QString helpEpilogue() {
    return factoryTable() + chaosTable() + unitMode() + logFormat();
}

}  // namespace pairwick::adaptersim
