# SPDX-License-Identifier: GPL-3.0-or-later
"""Labels for bench/station.py: a raw label printer of the benchmark's own, and a queue of labels
left by an outage, drained by `pairwick-cli label print --pending`."""
import json
import os
import re
import socket
import subprocess
import threading
import time

TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs",
                        "label-example.zpl")
QR_TEXT = re.compile(rb"QA,(.*?)\^FS")


class RawPrinter:
    """A label printer's raw port on this machine: one label a connection, taken at pace_s a
    label; keeps the text of each label's QR code in the order they came."""

    def __init__(self, pace_s=0.0):
        self.pace_s, self.labels = pace_s, []
        self.server = socket.create_server(("127.0.0.1", 0))
        self.port = self.server.getsockname()[1]
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                peer, _ = self.server.accept()
            except OSError:
                return
            with peer:
                label = b""
                while chunk := peer.recv(65536):
                    label += chunk
                time.sleep(self.pace_s)
                match = QR_TEXT.search(label)
                self.labels.append(match[1].decode() if match else "")

    def close(self):
        self.server.close()

    def options(self):
        return ["--label", TEMPLATE, "--printer", f"tcp:127.0.0.1:{self.port}"]


def drain_after_outage(cli, folder, count, pace_s):
    """count labels that waited out an outage, in a station's queue as it leaves them, printed by
    label print --pending on a printer that takes one each pace_s. Returns the rows."""
    station = "drained"
    state = os.path.join(folder, "state")
    queue_folder = os.path.join(state, "pairwick", f"spool-{station}-labels")
    os.makedirs(queue_folder)
    first = time.time_ns() // 1000
    for seq in range(1, count + 1):
        entry = {"id": f"label-{seq}", "batch": "drain", "seq": seq, "name": f"Drain-{seq:04}",
                 "pin": "1234", "address": f"0A51:00:{seq:06X}", "station": station,
                 "slot": "COM1", "waited": True}
        with open(os.path.join(queue_folder, f"{first + seq:019}.queued"), "w") as out:
            json.dump(entry, out)
    printer = RawPrinter(pace_s)
    started = time.monotonic()
    done = subprocess.run(
        [cli, "label", "print", "--pending", "--station", station, *printer.options(),
         "--ledger", f"sqlite:{folder}/drain.sqlite"],
        env=dict(os.environ, XDG_STATE_HOME=state), capture_output=True, text=True)
    wall = time.monotonic() - started
    printer.close()
    if done.returncode != 0:
        raise SystemExit(f"label print --pending: {done.stderr}")
    expected = [f"Drain-{seq:04}" for seq in range(1, count + 1)]
    label = f"{count:,} queued labels drained, printer at {1000 * pace_s:.0f} ms a label"
    return [(f"{label}: wall / a label", f"{wall:.1f} s / {1000 * wall / count:.1f} ms"),
            (f"{label}: in order / sent twice / missing",
             f"{printer.labels == expected} / {len(printer.labels) - len(set(printer.labels))} / "
             f"{len(set(expected) - set(printer.labels))}")]
