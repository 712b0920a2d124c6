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
        "\nFactory state (AT+DEFAULT restores it, whatever the start options were):\n");
    for (const FactoryValue &entry : factoryValues) {
        text += QStringLiteral("  %1 %2\n")
                    .arg(latin1(entry.label) + QLatin1Char(':'), -26)
                    .arg(latin1(entry.value));
    }
    text += QStringLiteral(
        "\nCMD is a whole command line without CR LF, e.g. AT+VER?; each fault switch may be\n"
        "given more than once. A command that gets a faulty reply still takes effect.\n");
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
               "TIME is HH:MM:SS.mmm local time. PORT (e.g. COM2) appears only when more than\n"
               "one adapter runs. FIELD is one of\n  %1.\n"
               "VALUE is the value as stored (role 0 or 1, messages EN or DI). LINE, BYTES and\n"
               "VALUE show printable ASCII as it is, CR LF TAB and backslash as \\r \\n \\t \\\\,\n"
               "any other byte as \\xHH. Other lines are notes for people.\n")
        .arg(keys.join(QLatin1String(", ")));
}

}  // namespace

QString helpEpilogue() {
    return factoryTable() + chaosTable() + logFormat();
}

}  // namespace pairwick::adaptersim
