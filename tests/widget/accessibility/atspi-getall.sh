#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens Pairwick under Xvfb with a private session bus and accessibility bus, and has
# atspi-getall.py walk every object it shows to assistive technology and call
# org.freedesktop.DBus.Properties.GetAll on each with every interface name, then two calls that
# are short of arguments. Fails if Pairwick dies or hangs.
#
# Usage: atspi-getall.sh [path/to/pairwick]        (default: build/src/app/pairwick)
# Exit: 0 Pairwick answered everything and is alive; 1 it died or never came up on the bus;
#       77 a tool this needs is missing (xvfb, dbus, at-spi2-core).
set -euo pipefail

# Only a hang runs into this: the whole walk takes a few seconds on a busy machine.
deadline=240

if [ -z "${PAIRWICK_ATSPI_SESSION:-}" ]; then
    for tool in Xvfb dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "atspi-getall: $tool is missing" >&2; exit 77; }
    done
    app=$(readlink -f "${1:-$(dirname "$0")/../../../build/src/app/pairwick}")
    [ -x "$app" ] || { echo "atspi-getall: no program at $app" >&2; exit 1; }
    PAIRWICK_ATSPI_SESSION=1 exec timeout --kill-after=5 $((deadline + 5)) \
        dbus-run-session -- "$BASH" "$0" "$app"
fi

app=$1
# Only the X11 platform carries the bridge to the accessibility bus.
unset QT_QPA_PLATFORM
work=$(mktemp -d)
# Everything the session writes stays in here: settings, caches, sockets, the port map.
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" GSETTINGS_BACKEND=memory PAIRWICK_PORTS="$work/ports"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$PAIRWICK_PORTS"

. "$(dirname "$0")/session.sh"
cleanup() {
    end_descendants
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT PIPE TERM

start_display "$work" 640x480x24 || { echo "atspi-getall: Xvfb did not start" >&2; exit 1; }
start_accessibility_bus "$work" || { echo "atspi-getall: no accessibility bus" >&2; exit 1; }

"$app" >"$work/app.log" 2>&1 &
app_pid=$!

/usr/bin/python3 "$(dirname "$0")/atspi-getall.py" "$a11y" "$app_pid" && exit 0
sed 's/^/  pairwick: /' "$work/app.log" | tail -5
exit 1
