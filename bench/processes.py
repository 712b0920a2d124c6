# SPDX-License-Identifier: GPL-3.0-or-later
"""What the benches read of a process they started, from /proc (its CPU, wake-ups and resident
memory), and its end."""
import os
import subprocess


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wakeups(pid):
    """Context switches of every thread of a process so far: how often it woke."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as status:
            total += sum(int(line.split()[1]) for line in status if "ctxt_switches" in line)
    return total


def resident_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    return {key: int(fields[key].split()[0]) / 1024 for key in ("VmRSS", "VmHWM")}


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
