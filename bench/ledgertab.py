# SPDX-License-Identifier: GPL-3.0-or-later
"""The station window's ledger and Yield tabs as their user meets them, for bench/ledger.py and
bench/yield.py: pairwick-station started on a batch with one empty slot, a tab asked for with
its keys once the started window is still, the screen looked at until the tab is still too;
for the ledger tab the window's resident memory then, and searches typed after Ctrl+F, each
looked at until the tab is still again."""
import contextlib
import os
import subprocess
import sys
import tempfile
import time

from processes import resident_mib, stop
from provisioning import start_simulators
from station import VALUES
from stationwindow import POLL_S, STALL_S, display_environment, ended_early
from xscreen import Screen, painted

# A look unchanged for this long is what the window settled on (the run page and the ledger tab
# show the keeper's news every 2 s, the same again when nothing happens).
SETTLED_S = 3.0
# Most rows of the window's pixels change when another tab is shown.
PAGE_CHANGED = 0.5


def watch(screen, process, errors_path, until):
    """Looks at the process's window every POLL_S until `until(time, rectangle, look)` holds
    for a look, a list of pixel rows; returns the window's X id and that look."""
    started = time.monotonic()
    while time.monotonic() - started < STALL_S:
        if process.poll() is not None:
            sys.exit(ended_early(process, errors_path))
        found = screen.main_window_of(process.pid)
        look = found and screen.rows(*found[1])
        if look and until(time.monotonic(), found[1], look):
            return found[0], look
        time.sleep(POLL_S)
    sys.exit(f"{' '.join(process.args)}: the window did not get there in {STALL_S} s")


def settle(screen, process, errors_path):
    """The window's X id, the look it settled on, and when it first showed that look."""
    looks = []

    def settled(now, _, look):
        if not looks or looks[-1][1] != look:
            looks.append((now, look))
        return now - looks[-1][0] >= SETTLED_S
    identifier, final = watch(screen, process, errors_path, settled)
    return identifier, final, next(when for when, look in looks if look == final)


def changed_rows(look, before):
    return sum(row != earlier for row, earlier in zip(look, before)) / len(look)


@contextlib.contextmanager
def station_window(window, simulator, display, ledger, batch):
    """pairwick-station started on the batch with one empty slot and still: the screen, the
    window's process, its errors' file, its X id and the run page's look."""
    with tempfile.TemporaryDirectory() as folder:
        sim = start_simulators(simulator, os.path.join(folder, "ports"), 1,
                               ("--quiet", "--units", "--start-empty"))
        screen = Screen(display)
        empty_screen = screen.rows(0, 0, screen.width, screen.height)
        errors_path = os.path.join(folder, "window.stderr")
        with open(errors_path, "w") as errors:
            process = subprocess.Popen(
                [window, "COM1", "--batch", batch, "--ledger", ledger, "--station", "tab",
                 *VALUES, "--start"], env=display_environment(folder, display),
                stdout=subprocess.DEVNULL, stderr=errors)
        try:
            watch(screen, process, errors_path,
                  lambda _, rectangle, look: painted(empty_screen, look, rectangle))
            identifier, run_page, _ = settle(screen, process, errors_path)
            yield screen, process, errors_path, identifier, run_page
        finally:
            stop(process)
            screen.close()
            stop(sim)


def open_tab(screen, process, errors_path, identifier, run_page, keys, display):
    """Seconds from the keys to the first look that shows what the tab they open settles on."""
    asked = time.monotonic()
    subprocess.run(["xdotool", "windowfocus", "--sync", str(identifier), "key", *keys],
                   env=dict(os.environ, DISPLAY=display), check=True)
    _, tab, shown = settle(screen, process, errors_path)
    if changed_rows(tab, run_page) < PAGE_CHANGED:
        sys.exit(f"{process.args[0]}: {' '.join(keys)} did not open another tab")
    return shown - asked


def ledger_tab(window, simulator, display, ledger, batch, searches):
    """Seconds from Ctrl+Tab to the first look that shows what the ledger tab settles on, the
    window's VmRSS and VmHWM in MiB once it settled, and for each text of searches the seconds
    from its last key to the first look of what the tab settles on (the window waits for a
    pause in the typing of 0.2 s before it asks)."""
    with station_window(window, simulator, display, ledger, batch) as opened_window:
        screen, process, errors_path, _, _ = opened_window
        opened = open_tab(*opened_window, ["ctrl+Tab"], display)
        memory = resident_mib(process.pid)
        found = []
        for text in searches:
            # From the whole batch each time, so that the search's rows are a new look. Tab
            # after the keys takes the focus, and the blinking cursor, out of the field.
            for keys in ([], ["type", "--delay", "0", text]):
                subprocess.run(["xdotool", "key", "ctrl+f", "BackSpace", *keys],
                               env=dict(os.environ, DISPLAY=display), check=True)
                typed = time.monotonic()
                subprocess.run(["xdotool", "key", "Tab"],
                               env=dict(os.environ, DISPLAY=display), check=True)
                _, _, shown = settle(screen, process, errors_path)
            found.append(shown - typed)
        return opened, memory, found


def yield_tab(window, simulator, display, ledger, batch):
    """Seconds from the keys that open the Yield tab (Ctrl+Shift+Tab twice from the run page:
    the set-up page, which reads nothing, then round to the last tab) to the first look of its
    charts as they settle."""
    with station_window(window, simulator, display, ledger, batch) as opened_window:
        return open_tab(*opened_window, ["ctrl+shift+Tab", "ctrl+shift+Tab"], display)
