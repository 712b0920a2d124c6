# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run a program in a desktop session of their own: a virtual
# display, an accessibility bus on the private session bus, and the end of it all.

# What the script started, children first, and whatever they started in turn.
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

# Runs the command every 0.1 s until it succeeds; fails once SECONDS have passed.
wait_until() { # seconds command [arguments...]
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

start_display() { # work-folder geometry; exports DISPLAY
    Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
    wait_until 60 test -s "$1/display" || return 1
    DISPLAY=":$(cat "$1/display")"
    export DISPLAY
}

bus_has_a11y() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}

start_accessibility_bus() { # work-folder; sets a11y to the bus's address
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$1/launcher.log" &
    # Asked before the launcher owns its name, the session bus would start a second one of its own.
    wait_until 60 bus_has_a11y || return 1
    a11y=$(dbus-send --session --dest=org.a11y.Bus --print-reply=literal /org/a11y/bus \
        org.a11y.Bus.GetAddress | tr -d '[:space:]')
    # What a screen reader does when it starts: it tells applications to turn accessibility on.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null
}
