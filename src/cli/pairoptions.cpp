// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/pairoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <utility>

#include "cli/clirequest.h"
#include "settings/profile.h"
#include "station/valuetemplate.h"

namespace pairwick::cli {

namespace {

using settings::Key;

const QString RandomPin = QStringLiteral("random");
constexpr int RandomPinDigits = 6;

// The keys pair leaves to --set: the rest it sets itself or takes from options of their own.
bool sharedKey(Key key) {
    return key == Key::Baud || key == Key::Parity || key == Key::Stop || key == Key::Messages;
}

// COM3 and the device the port map gives it are the same port, whichever way it is written.
QString deviceOf(const QString &port) {
    const QString device = provision::deviceForPort(port);
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

QString nameProblem(const QString &option, const QString &name) {
    const QString problem = settings::valueProblem(Key::Name, name);
    return problem.isEmpty() ? problem : QStringLiteral("%1 %2: %3").arg(option, name, problem);
}

}  // namespace

PairOptions::PairOptions()
    : m_pin(QStringLiteral("pin"),
            QStringLiteral("The PIN both adapters get, at most 10 characters, or 'random' for %1 "
                           "digits from the system's cryptographic random source. Without it "
                           "both get MASTER's current PIN.")
                .arg(RandomPinDigits),
            QStringLiteral("PIN")),
      m_set(QStringLiteral("set"),
            QStringLiteral("A setting both adapters get: baud, parity, stop or messages. May be "
                           "given more than once."),
            QStringLiteral("KEY=VALUE")),
      m_masterName(QStringLiteral("master-name"),
                   QStringLiteral("The device name MASTER gets, at most 20 characters."),
                   QStringLiteral("NAME")),
      m_slaveName(QStringLiteral("slave-name"),
                  QStringLiteral("The device name SLAVE gets, at most 20 characters."),
                  QStringLiteral("NAME")) {}

void PairOptions::addPositionalArguments(QCommandLineParser &parser) const {
    parser.addPositionalArgument(QStringLiteral("MASTER"),
                                 QStringLiteral("The port of the adapter to be the master."));
    parser.addPositionalArgument(QStringLiteral("SLAVE"),
                                 QStringLiteral("The port of the adapter to be the slave."));
}

void PairOptions::addOptions(QCommandLineParser &parser) const {
    parser.addOptions({m_pin, m_set, m_masterName, m_slaveName});
}

QString PairOptions::read(const QCommandLineParser &parser, CliRequest &request) const {
    if (request.ports.size() != 2)
        return QStringLiteral("pair takes two ports, MASTER and SLAVE");
    if (deviceOf(request.ports[0]) == deviceOf(request.ports[1]))
        return QStringLiteral("MASTER and SLAVE are the same port, %1")
            .arg(deviceOf(request.ports[0]));

    QString error;
    for (const QString &assignment : parser.values(m_set)) {
        settings::AdapterSettings setting;
        if (!settings::applySetting(assignment, setting, &error))
            return error;
        if (!sharedKey(setting.keys().constFirst()))
            return QStringLiteral(
                       "--set %1: pair takes baud, parity, stop and messages here; the names come "
                       "with --master-name and --slave-name, the PIN with --pin, and the roles "
                       "and the bound address from the pairing")
                .arg(assignment);
        request.desired.merge(setting);
    }
    if (parser.isSet(m_pin)) {
        const QString given = parser.value(m_pin);
        const QString pin =
            given == RandomPin ? station::systemRandomDigits(RandomPinDigits) : given;
        const QString problem = settings::valueProblem(Key::Pin, pin);
        if (!problem.isEmpty())
            return QStringLiteral("--pin %1: %2").arg(given, problem);
        request.desired.set(Key::Pin, pin);
    }

    request.masterOnly.set(Key::Role, settings::Master);
    request.slaveOnly.set(Key::Role, settings::Slave);
    for (const auto &[option, side] : {std::pair{&m_masterName, &request.masterOnly},
                                       std::pair{&m_slaveName, &request.slaveOnly}}) {
        if (!parser.isSet(*option))
            continue;
        const QString name = parser.value(*option);
        const QString problem =
            nameProblem(QStringLiteral("--") + option->names().constFirst(), name);
        if (!problem.isEmpty())
            return problem;
        side->set(Key::Name, name);
    }
    return QString();
}

QString PairOptions::explanation() {
    return QStringLiteral(
        "Both adapters are read at once, and nothing is written unless both reads succeed, the\n"
        "two are different adapters (their addresses differ) and SLAVE's address can be bound.\n"
        "Then each is written and verified as 'write' does it, only the values that differ.\n"
        "  SLAVE   gets role slave, the PIN, the --set values, --slave-name\n"
        "  MASTER  gets role master, bind = SLAVE's address as SLAVE reported it, the PIN, the\n"
        "          --set values, --master-name\n"
        "Without --pin MASTER keeps its PIN and SLAVE takes it. The last line names the pair,\n"
        "as in 'COM3 (master) -> COM4 (slave) 0A51:00:000004, PIN 482193'.\n"
        "\n"
        "Exit status:\n"
        "  0    both adapters were written and verified: they are paired\n"
        "  1    writing began and a step or a verification failed on one adapter or both, or\n"
        "       the wire log could not be written; each adapter's row says what it holds now\n"
        "  2    usage error, or the pair was refused and nothing was written: the same adapter\n"
        "       twice, an adapter that could not be read, an address that cannot be bound\n"
        "  3    a port could not be opened; nothing was written\n"
        "  130  stopped by Ctrl-C or SIGTERM\n");
}

}  // namespace pairwick::cli
