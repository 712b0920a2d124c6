#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens Pairwick under Xvfb with a private session bus and accessibility bus, walks every object
# it shows to assistive technology, and calls org.freedesktop.DBus.Properties.GetAll on each with
# every interface name, then two calls that are short of arguments. Fails if Pairwick dies.
#
# Usage: atspi-getall.sh [path/to/pairwick]        (default: build/src/app/pairwick)
# Exit: 0 Pairwick answered everything and is alive; 1 it died or never came up on the bus;
#       77 a tool this needs is missing (xvfb, dbus, at-spi2-core).
set -euo pipefail

deadline=50 # seconds; everything this starts is gone well within a minute

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

out_of_time() { [ "$SECONDS" -ge "$deadline" ]; }

start_display "$work" 640x480x24 || { echo "atspi-getall: Xvfb did not start" >&2; exit 1; }
start_accessibility_bus "$work" || { echo "atspi-getall: no accessibility bus" >&2; exit 1; }

"$app" >"$work/app.log" 2>&1 &
app_pid=$!

call() { # destination path method [arguments...]; an error reply is printed, not fatal
    local destination=$1
    shift
    dbus-send --bus="$a11y" --reply-timeout=3000 --print-reply --dest="$destination" "$@" 2>&1 ||
        true
}
# A dead child stays a zombie until it is waited for, and kill -0 still reaches a zombie.
gone() {
    local state
    state=$(ps -o stat= -p "$app_pid") || return 0
    [[ $state == Z* ]]
}
died() {
    wait "$app_pid" && status=0 || status=$?
    echo "FAIL: Pairwick died (exit status $status) after $*"
    sed 's/^/  pairwick: /' "$work/app.log" | tail -5
    exit 1
}
# Judges Pairwick by the reply to one call: no reply means it died on the call or hangs.
answered_alive() { # reply, what was called
    if [[ $1 == *Error.NoReply* || $1 == *Error.ServiceUnknown* ]]; then
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            gone && break
            sleep 0.1
        done
        gone || { echo "FAIL: no answer to $2"; exit 1; }
    fi
    ! gone || died "$2: $(echo "$1" | head -1)"
}

# Pairwick's unique name on the accessibility bus, once its window is there.
name=""
while [ -z "$name" ]; do
    ! gone || died "starting"
    out_of_time && { echo "FAIL: Pairwick never appeared on the accessibility bus"; exit 1; }
    sleep 0.2
    for candidate in $(call org.freedesktop.DBus / org.freedesktop.DBus.ListNames |
        grep -o '":[0-9.]*"' | tr -d '"'); do
        owner=$(call org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID \
            "string:$candidate" | awk '/uint32/ {print $2}')
        if [ "$owner" = "$app_pid" ] &&
            call "$candidate" /org/a11y/atspi/accessible/root \
                org.a11y.atspi.Accessible.GetChildren | grep -q 'object path'; then
            name=$candidate
        fi
    done
done

root=/org/a11y/atspi/accessible/root
objects=("$root")
for ((i = 0; i < ${#objects[@]} && i < 1000; i++)); do
    out_of_time && { echo "FAIL: out of time while walking the objects"; exit 1; }
    reply=$(call "$name" "${objects[$i]}" org.a11y.atspi.Accessible.GetChildren)
    answered_alive "$reply" "GetChildren on ${objects[$i]}"
    for child in $(echo "$reply" | grep -o 'object path "[^"]*"' | cut -d'"' -f2); do
        objects+=("$child")
    done
done
echo "Pairwick ($name) shows ${#objects[@]} accessible objects"

interfaces=(org.a11y.atspi.Accessible org.a11y.atspi.Application org.a11y.atspi.Action
    org.a11y.atspi.Component org.a11y.atspi.EditableText org.a11y.atspi.Selection
    org.a11y.atspi.Table org.a11y.atspi.Text org.a11y.atspi.Value "")
answered=0
refused=0
for object in "${objects[@]}"; do
    for interface in "${interfaces[@]}"; do
        out_of_time && { echo "FAIL: out of time at $object"; exit 1; }
        reply=$(call "$name" "$object" org.freedesktop.DBus.Properties.GetAll "string:$interface")
        answered_alive "$reply" "GetAll(\"$interface\") on $object"
        if [[ $reply == "method return"* ]]; then
            answered=$((answered + 1))
        else
            refused=$((refused + 1))
        fi
    done
done
echo "GetAll: $answered answered, $refused refused with an error, on $((answered + refused)) calls"

# The same fault, reached by calls short of an argument.
reply=$(call "$name" "$root" org.freedesktop.DBus.Properties.Get string:org.a11y.atspi.Accessible)
answered_alive "$reply" "Properties.Get with one argument on $root"
reply=$(call "$name" "$root" org.a11y.atspi.Accessible.GetChildAtIndex)
answered_alive "$reply" "Accessible.GetChildAtIndex without its index on $root"

echo "PASS: Pairwick is alive after $((answered + refused + 2)) calls"
