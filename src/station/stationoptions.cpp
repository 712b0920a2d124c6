// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationoptions.h"

#include <QCommandLineParser>
#include <QSysInfo>

namespace pairwick::station {

StationOptions::StationOptions()
    : m_batch(QStringLiteral("batch"), QStringLiteral("The batch to create or join."),
              QStringLiteral("NAME")),
      m_profile(QStringLiteral("profile"),
                QStringLiteral("Values for every unit, from a JSON file."), QStringLiteral("FILE")),
      m_set(QStringLiteral("set"),
            QStringLiteral("A value for every unit, with fields; overrides the profile. May be "
                           "given more than once."),
            QStringLiteral("KEY=VALUE")),
      m_values(QStringLiteral("values"),
               QStringLiteral("Values of single units, from a CSV file with a column seq or "
                              "address; they win over --set."),
               QStringLiteral("FILE.csv")),
      m_first(QStringLiteral("first"),
              QStringLiteral("The first number of a new batch (default 1)."), QStringLiteral("N")),
      m_count(QStringLiteral("count"),
              QStringLiteral("End once the batch holds N passed units, over all stations."),
              QStringLiteral("N")),
      m_ledger(QStringLiteral("ledger"), QStringLiteral("Where the records live (see below)."),
               QStringLiteral("URL")),
      m_station(QStringLiteral("station"),
                QStringLiteral("This station's name in the records (default: the host name)."),
                QStringLiteral("NAME")),
      m_onPass(QStringLiteral("on-pass"),
               QStringLiteral("Run CMD through /bin/sh for every unit that passed, with "
                              "PAIRWICK_BATCH, PAIRWICK_SEQ, PAIRWICK_NAME, PAIRWICK_PIN, "
                              "PAIRWICK_ADDRESS, PAIRWICK_SLOT, PAIRWICK_STATION set; 30 s at "
                              "most."),
               QStringLiteral("CMD")),
      m_again(QStringLiteral("again"),
              QStringLiteral("Write a unit that already passed again, with its recorded values.")),
      m_timeout(QStringLiteral("timeout"),
                QStringLiteral("How long to wait for an incomplete reply (default 1000)."),
                QStringLiteral("MS"), QStringLiteral("1000")),
      m_operator(QStringLiteral("operator"),
                 QStringLiteral("Who runs the station, recorded on every attempt (at most 64 "
                                "characters)."),
                 QStringLiteral("NAME")),
      m_maxAttempts(QStringLiteral("max-attempts"),
                    QStringLiteral("A rule of a new batch: a unit whose Nth attempt failed is "
                                   "rejected, never written again (1 to 1000; default no limit)."),
                    QStringLiteral("N")),
      m_slotAlarm(QStringLiteral("slot-alarm"),
                  QStringLiteral("Mark a slot whose last N units failed while other slots passed "
                                 "units (default 3; 0: never)."),
                  QStringLiteral("N"), QStringLiteral("3")) {}

QList<QCommandLineOption> StationOptions::options() const {
    return {m_batch,   m_profile, m_set,   m_values,  m_first,    m_count,       m_ledger,
            m_station, m_onPass,  m_again, m_timeout, m_operator, m_maxAttempts, m_slotAlarm};
}

void StationOptions::addTo(QCommandLineParser &parser) const {
    parser.addOptions(options());
}

StationSetup StationOptions::read(const QCommandLineParser &parser,
                                  const QStringList &slotNames) const {
    StationSetup setup;
    setup.slotNames = slotNames;
    setup.batch = parser.value(m_batch);
    setup.profileFile = parser.value(m_profile);
    setup.fields = parser.values(m_set);
    setup.valuesFile = parser.value(m_values);
    setup.first = parser.value(m_first);
    setup.count = parser.value(m_count);
    setup.ledgerUrl = parser.value(m_ledger);
    // Not given is the host name; given empty is a mistake.
    setup.station = parser.isSet(m_station) ? parser.value(m_station) : QSysInfo::machineHostName();
    setup.onPass = parser.value(m_onPass);
    setup.timeoutMs = parser.value(m_timeout);
    setup.slotAlarm = parser.value(m_slotAlarm);
    setup.again = parser.isSet(m_again);
    setup.operatorName = parser.value(m_operator);
    setup.maxAttempts = parser.value(m_maxAttempts);
    return setup;
}

QString StationOptions::explanation() {
    return QStringLiteral(
        "Each SLOT is watched all day: when a unit answers AT it is read, looked up in the batch "
        "by its\n"
        "address, given its own values, written, verified and recorded in the ledger; then the "
        "slot\n"
        "waits until the unit is taken out. Name slots by their /dev/serial/by-path names.\n\n"
        "Fields in any value: {seq} the unit's number, {seq:4} zero-padded, {addr:N} the last N "
        "hex\n"
        "digits of its address, {random:N} N random digits, {{ and }} for braces.\n\n"
        "Ledger URLs: sqlite:PATH (default: $XDG_DATA_HOME/pairwick/ledger.sqlite, or\n"
        "$PAIRWICK_LEDGER), postgresql://[user@]host[:port][,host[:port]...]/database,\n"
        "postgresql:///database?host=/socket/folder. libpq's sslmode, sslrootcert, sslcert,\n"
        "sslkey, connect_timeout, application_name and target_session_attrs may follow as\n"
        "?name=value&... Passwords come from ~/.pgpass or $PGPASSFILE.\n");
}

}  // namespace pairwick::station
