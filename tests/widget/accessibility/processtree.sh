# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that start a session of their own: ends what the script started,
# children first, and whatever they started in turn.
descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        descendants "$child"
        echo "$child"
    done
}
end_descendants() {
    local pid
    for pid in $(descendants $$); do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
