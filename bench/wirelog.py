# SPDX-License-Identifier: GPL-3.0-or-later
"""A station's wire log (pairwick-cli station --log) read back: each port's exchanges, each
unit's session and its arrival to the first byte to it, and a session's floor on the paced line
beside its time on the wire."""
from provisioning import LINE_BYTES_PER_SECOND, REPLY_DELAY_S, logged_bytes

PROBE = "AT\\r\\n"  # as the wire log writes it


def time_of_day(text):
    hours, minutes, seconds = text.split(":")
    return 3600 * int(hours) + 60 * int(minutes) + float(seconds)


class Exchange:
    def __init__(self, sent, command):
        self.sent, self.command = sent, command
        self.nbytes = logged_bytes(command)
        self.replied = None


def read_exchanges(log_path, ports):
    """Adds each port's exchanges in the wire log to ports, a list of them per port."""
    with open(log_path, encoding="utf-8", errors="replace") as log:
        for line in log:
            parts = line.rstrip("\n").split(" ", 3)
            if len(parts) < 4 or parts[2] not in ("->", "<-"):
                continue
            at = time_of_day(parts[0].split("T")[1])
            if parts[2] == "->":
                ports.setdefault(parts[1], []).append(Exchange(at, parts[3]))
            elif ports.get(parts[1]):
                ports[parts[1]][-1].nbytes += logged_bytes(parts[3])
                ports[parts[1]][-1].replied = at


def visits(arrivals, ports):
    """Per unit address: the seconds from its arrival to the first byte of the probe that found
    it, and the exchanges of its session. Arrival is the simulator's 'unit in' line, written when
    the unit's terminal appears; both logs stamp the same clock to the millisecond. The first
    answered exchange after it is taken, since a probe of the unit just taken out may still go
    to the old, dead terminal. The session is what follows, up to the next bare AT: the
    session sends none, and the presence checks send nothing else."""
    found = {}
    for address, (port, arrived) in arrivals.items():
        exchanges = ports.get(port, [])
        first = next((i for i, e in enumerate(exchanges)
                      if e.sent >= arrived and e.replied is not None), None)
        if first is None:
            continue
        end = next((i for i in range(first + 1, len(exchanges))
                    if exchanges[i].command == PROBE), len(exchanges))
        found[address] = (exchanges[first].sent - arrived, exchanges[first + 1:end])
    return found


def floor_of(session):
    return (sum(e.nbytes for e in session) / LINE_BYTES_PER_SECOND
            + len(session) * REPLY_DELAY_S)


def on_the_wire(session):
    return sum(e.replied - e.sent for e in session if e.replied is not None)
