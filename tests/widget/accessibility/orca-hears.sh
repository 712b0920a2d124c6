#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Listens to a window with the real screen reader Orca 43: under Xvfb, on a private session bus
# and accessibility bus, speech off, its debug log read. Plays the rows of orca-scenarios.txt
# for that window: each row starts a fresh Orca, the simulated adapter and the program, gives
# the window the focus, does the row's action (a mouse click, say) and waits until Orca has
# spoken the row's texts as notifications, in order. Fails when a text goes unheard, when the
# focus moves after the action, or when Orca or the program dies. Nothing is skipped: a missing
# tool fails the test (scripts/install-deps installs them all).
#
# Usage: orca-hears.sh WINDOW SIMULATOR PROGRAM [ARGUMENT...]
#   WINDOW     plays the rows of orca-scenarios.txt whose first column is WINDOW
#   SIMULATOR  the simulated adapter, pairwick-adapter-sim
#   PROGRAM    the window's program. @DIR@ in an ARGUMENT stands for the row's own folder;
#              the program gets PAIRWICK_PORTS=@DIR@/ports, XDG_DATA_HOME=@DIR@/data and
#              XDG_STATE_HOME=@DIR@/state.
# Exit: 0 every row was heard, the focus stayed, Orca and the program lived; 1 otherwise.
# With ORCA_HEARS_KEEP=FOLDER every row's logs (Orca's debug log included) are copied there.
set -euo pipefail

# Only a hang runs into this: a row takes 5 to 15 s on a quiet machine, a few times that on a busy
# one, and every wait below ends as soon as what it waits for has happened.
deadline=600

say() { echo "orca-hears: $*" >&2; }

if [ -z "${PAIRWICK_ORCA_SESSION:-}" ]; then
    [ $# -ge 3 ] || { say "usage: orca-hears.sh WINDOW SIMULATOR PROGRAM [ARGUMENT...]"; exit 1; }
    missing=()
    for tool in Xvfb dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher xdotool orca \
        /usr/bin/python3 timeout mkfifo awk; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        say "FAIL: missing ${missing[*]}; scripts/install-deps test installs them"
        exit 1
    fi
    version=$(orca --version 2>&1 | awk '{print $NF; exit}')
    if [[ $version != 43.* ]]; then
        say "FAIL: this test reads the debug log of Orca 43 (Debian 12); orca --version says '$version'"
        exit 1
    fi
    if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
        say "FAIL: Python cannot load AT-SPI (python3-gi, gir1.2-atspi-2.0); scripts/install-deps test installs them"
        exit 1
    fi
    window=$1
    simulator=$(readlink -f "$2")
    program=$(readlink -f "$3")
    for file in "$simulator" "$program"; do
        [ -x "$file" ] || { say "FAIL: no program at $file"; exit 1; }
    done
    shift 3
    PAIRWICK_ORCA_SESSION=1 exec timeout --kill-after=5 $((deadline + 10)) \
        dbus-run-session -- "$BASH" "$0" "$window" "$simulator" "$program" "$@" </dev/null
fi

here=$(cd "$(dirname "$0")" && pwd)
table="$here/orca-scenarios.txt"
probe="$here/atspi-probe.py"
window=$1
simulator=$2
program=$3
shift 3
program_arguments=("$@")

# Only the X11 platform carries the bridge to the accessibility bus.
unset QT_QPA_PLATFORM
work=$(mktemp -d)
# Everything the session writes stays in here: settings, caches, sockets, Orca's preferences.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" GSETTINGS_BACKEND=memory
mkdir -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
mkdir "$work/bin"

. "$(dirname "$0")/session.sh"
cleanup() {
    end_descendants
    if [ -n "${ORCA_HEARS_KEEP:-}" ]; then
        mkdir -p "$ORCA_HEARS_KEEP"
        cp -r "$work"/row* "$ORCA_HEARS_KEEP" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT PIPE TERM

out_of_time() { [ "$SECONDS" -ge "$deadline" ]; }
# A dead child stays a zombie until it is waited for, and kill -0 still reaches a zombie.
alive() {
    local state
    state=$(ps -o stat= -p "$1") || return 1
    [[ $state != Z* ]]
}

row_dir=""
fail() {
    echo "FAIL: $*"
    if [ -n "$row_dir" ]; then
        for file in program.log simulator.log orca.out; do
            [ -s "$row_dir/$file" ] && tail -5 "$row_dir/$file" | sed "s/^/  $file: /"
        done
        [ -s "$row_dir/orca.log" ] && heard "$row_dir/orca.log" | sed 's/^[0-9]*\t/  heard: /'
    fi
    exit 1
}

# Polls COMMAND every tenth of a second until it succeeds; fails after SECONDS or at the
# deadline, and at once when Orca or the program of the row has died.
wait_for() { # what seconds command [arguments...]
    local what=$1 until=$((SECONDS + $2))
    shift 2
    until "$@"; do
        [ -z "${orca_pid:-}" ] || alive "$orca_pid" || fail "Orca died while waiting for $what"
        [ -z "${program_pid:-}" ] || alive "$program_pid" ||
            fail "the program died while waiting for $what"
        if out_of_time || [ "$SECONDS" -ge "$until" ]; then
            fail "no $what in time"
        fi
        sleep 0.1
    done
}

# What Orca spoke as a notification: the speech of every object:state-changed:showing event of
# a notification that it processed, one "LINE<tab>TEXT" each, LINE being where in the log.
heard() { # log
    LC_ALL=C awk '
        /^vvvvv PROCESS OBJECT EVENT / { block = 1; notification = 0; next }
        /^\^\^\^\^\^ PROCESS OBJECT EVENT / { block = 0; next }
        block && /OBJECT EVENT: object:state-changed:showing \(1, / &&
            /\[notification \| / { notification = 1 }
        block && notification && /SPEECH OUTPUT: / {
            text = $0
            sub(/^.*SPEECH OUTPUT: \047/, "", text)
            sub(/\047\{[^{]*\}$/, "", text)
            print NR "\t" text
        }' "$1"
}

# Whether the log shows the texts spoken as notifications in this order, each after the last.
heard_in_order() { # log text...
    local log=$1 after=0 line text
    shift
    for text in "$@"; do
        line=$(heard "$log" | LC_ALL=C awk -F '\t' -v after="$after" -v text="$text" \
            '!found && $1 > after && index($2, text) { print $1; found = 1 }')
        [ -n "$line" ] || return 1
        after=$line
    done
}

# Where Orca moved its locus of focus after LINE of the log, one line each.
focus_moves_after() { # log line
    LC_ALL=C awk -v after="$2" 'NR > after && /ORCA: Changing locusOfFocus / {
        sub(/^.*ORCA: Changing locusOfFocus /, ""); print }' "$1"
}

start_display "$work" 1024x768x24 || fail "no Xvfb display in time"
start_accessibility_bus "$work" || fail "no accessibility bus in time"

# Orca will not start while another Orca of the same user runs anywhere (it asks
# `pgrep -u UID -x orca`). The one here is alone on its own display and buses, so that question
# alone is answered "none"; every other pgrep call goes through.
cat >"$work/bin/pgrep" <<'EOF'
#!/bin/sh
[ "$#" -eq 4 ] && [ "$1" = -u ] && [ "$3" = -x ] && [ "$4" = orca ] && exit 1
exec /usr/bin/pgrep "$@"
EOF
chmod +x "$work/bin/pgrep"

# Whether the Orca of this row has told the registry which events it wants.
orca_listening() {
    local name owner
    for name in $(dbus-send --bus="$a11y" --print-reply --dest=org.a11y.atspi.Registry \
        /org/a11y/atspi/registry org.a11y.atspi.Registry.GetRegisteredEvents 2>/dev/null |
        awk '/string ":/ { name = $2 } /string "Object:StateChanged:Showing/ { print name }' |
        tr -d '"' | sort -u); do
        owner=$(dbus-send --bus="$a11y" --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null |
            awk '/uint32/ { print $2 }')
        [ "$owner" = "$orca_pid" ] && return 0
    done
    return 1
}

program_window=""
window_shown() {
    program_window=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | head -1)
    [ -n "$program_window" ]
}

centre=""
control_showing() { centre=$(/usr/bin/python3 "$probe" centre "$program_pid" "$1" "$2"); }
# "PATH | ROLE | NAME" of each object with the focus, "; " between them. The path names an
# object for good; its name may change (连接 becomes 断开).
focused_objects() { /usr/bin/python3 "$probe" focused "$program_pid" || echo "unknown"; }
paths_of() { echo "$1" | sed 's/ | [^;]*//g'; }

# Whether Orca's log has stopped growing for a second: Orca writes it in blocks, many a second
# while it works through events.
log_size=-1
log_still=0
orca_quiet() { # log
    local size
    size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    if [ "$size" = "$log_size" ]; then
        log_still=$((log_still + 1))
    else
        log_still=0
        log_size=$size
    fi
    [ "$log_still" -ge 10 ]
}

play_row() { # row simulator-switches action text...
    local row=$1 action=$3 switches texts
    read -ra switches <<<"$2"
    printf -v texts ' | %s' "${@:4}"
    echo "row $row: $2 | $action$texts"
    shift 3
    row_dir="$work/row$row"
    local log="$row_dir/orca.log"
    mkdir -p "$row_dir/ports" "$row_dir/data" "$row_dir/state" "$row_dir/orca"

    # Orca first, so that it hears the window from its first moment.
    PATH="$work/bin:$PATH" LC_ALL=C.UTF-8 orca --user-prefs "$row_dir/orca" \
        --disable speech,braille --debug-file "$log" >"$row_dir/orca.out" 2>&1 &
    orca_pid=$!
    wait_for "Orca listening on the accessibility bus" 90 orca_listening

    local simulator_input
    mkfifo "$row_dir/simulator.in"
    exec {simulator_input}<>"$row_dir/simulator.in"
    "$simulator" "${switches[@]}" --ports-dir "$row_dir/ports" <&"$simulator_input" \
        >"$row_dir/simulator.log" 2>&1 &
    local simulator_pid=$!
    simulator_ready() {
        alive "$simulator_pid" || fail "the simulator ended: $(tail -3 "$row_dir/simulator.log")"
        grep -q '^ready' "$row_dir/simulator.log"
    }
    wait_for "simulated adapter" 60 simulator_ready

    env PAIRWICK_PORTS="$row_dir/ports" XDG_DATA_HOME="$row_dir/data" \
        XDG_STATE_HOME="$row_dir/state" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$program" "${program_arguments[@]//@DIR@/$row_dir}" >"$row_dir/program.log" 2>&1 &
    program_pid=$!
    wait_for "window of the program" 90 window_shown
    # What a window manager does for a window that opens.
    timeout 60 xdotool windowfocus --sync "$program_window" ||
        fail "xdotool could not give the window the focus"
    wait_for "active window on the accessibility bus" 60 \
        /usr/bin/python3 "$probe" active "$program_pid"
    # Orca drops notifications while more than 50 events wait (its guard against floods), and
    # a window that opens sends many: they are through before the action.
    log_size=-1
    wait_for "quiet Orca after the window opened" 90 orca_quiet "$log"

    local focus
    case $action in
        "click "*": "*)
            local target=${action#click } role name
            role=${target%%: *}
            name=${target#*: }
            wait_for "showing $role \"$name\"" 60 control_showing "$role" "$name"
            local x y path
            read -r x y path <<<"$centre"
            # Not --sync: the pointer may already be there, and then it waits for good.
            timeout 60 xdotool mousemove "$x" "$y" click 1 ||
                fail "xdotool could not click $role \"$name\""
            # The click itself gives the control the focus; that is where it must stay.
            control_focused() {
                focus=$(focused_objects)
                [[ "; $(paths_of "$focus"); " == *"; $path; "* ]]
            }
            wait_for "focus on the clicked $role" 60 control_focused
            ;;
        "simulator "*)
            focus=$(focused_objects)
            printf '%s\n' "${action#simulator }" >&"$simulator_input"
            ;;
        none) focus=$(focused_objects) ;;
        *) fail "orca-scenarios.txt: unknown action '$action'" ;;
    esac

    # Orca writes its log in blocks, so the last texts may show only once it stops: the wait
    # ends when they show, after 90 s or a little before the deadline, and the judgement reads
    # the whole log.
    local until=$((SECONDS + 90)) nudged=$SECONDS
    until heard_in_order "$log" "$@"; do
        alive "$orca_pid" || fail "Orca died before it had spoken every text"
        alive "$program_pid" || fail "the program died before Orca had spoken every text"
        [ "$SECONDS" -ge "$until" ] || [ "$SECONDS" -ge $((deadline - 15)) ] && break
        sleep 0.2
        # Orca writes its log in blocks of 8 KiB: a tap on Shift, which the window ignores, has
        # it write more, so that the block holding the last texts comes out.
        [ $((SECONDS - nudged)) -lt 1 ] || { xdotool key shift; nudged=$SECONDS; }
    done

    alive "$program_pid" || fail "the program died"
    alive "$orca_pid" || fail "Orca died"
    local focus_now
    focus_now=$(focused_objects)
    [ "$(paths_of "$focus_now")" = "$(paths_of "$focus")" ] ||
        fail "the focus moved from $focus to $focus_now"

    # A stopped Orca has written all of its log.
    kill -TERM "$orca_pid"
    local until=$((SECONDS + 60))
    while alive "$orca_pid" && [ "$SECONDS" -lt "$until" ]; do sleep 0.1; done
    alive "$orca_pid" && fail "Orca did not stop within 60 s of SIGTERM"
    wait "$orca_pid" 2>/dev/null || true
    orca_pid=""

    if ! heard_in_order "$log" "$@"; then
        local dropped
        dropped=$(grep -c 'Not processing this event due to flood' "$log" || true)
        [ "$dropped" -eq 0 ] ||
            echo "  Orca dropped $dropped events in floods (more than 50 events waiting)"
        fail "Orca did not speak, as notifications in this order:${texts}"
    fi
    local first moves
    first=$(heard "$log" | LC_ALL=C awk -F '\t' -v text="$1" \
        '!found && index($2, text) { print $1; found = 1 }')
    moves=$(focus_moves_after "$log" "$first")
    [ -z "$moves" ] || fail "Orca's locus of focus moved after it spoke \"$1\": $moves"
    heard "$log" | cut -f2 | sed 's/^/  heard: /'
    echo "  the focus stayed on: $(echo "$focus_now" | sed 's#/[^ ]* | ##g')"

    kill "$program_pid" "$simulator_pid" 2>/dev/null || true
    wait "$program_pid" "$simulator_pid" 2>/dev/null || true
    program_pid=""
    exec {simulator_input}>&-
}

# The table is read whole first: what a row starts must not read the rest of it.
mapfile -t lines <"$table"
rows=0
for line in "${lines[@]}"; do
    [[ -z ${line// /} || $line == "#"* ]] && continue
    IFS='|' read -ra columns <<<"$line"
    for i in "${!columns[@]}"; do
        columns[i]=$(echo "${columns[i]}" | sed 's/^ *//; s/ *$//')
    done
    [ "${columns[0]}" = "$window" ] || continue
    [ ${#columns[@]} -ge 4 ] || fail "orca-scenarios.txt: a row needs 4 columns: $line"
    rows=$((rows + 1))
    play_row "$rows" "${columns[@]:1}"
done
row_dir=""
[ "$rows" -gt 0 ] || fail "orca-scenarios.txt has no row for window '$window'"
echo "PASS: Orca heard every row of $window as notifications ($rows rows, $SECONDS s)"
