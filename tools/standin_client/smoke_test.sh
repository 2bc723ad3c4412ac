#!/usr/bin/env bash
# Runs the stand-in client under Wine in several scenarios, acts on it with
# standin-drive (Lull-Cast's own client code) and checks the event log.
#
#   smoke_test.sh BUILD_DIR WINE_RUN STANDIN_CLIENT STANDIN_DRIVE
#
# WINE_RUN is the build's Wine wrapper (cmake/wine-run.sh): it picks the
# build's prefix and the test session's display.
set -uo pipefail

if [[ $# -ne 4 ]]; then
    echo "usage: $0 BUILD_DIR WINE_RUN STANDIN_CLIENT STANDIN_DRIVE" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
wine_run=$2
client_exe=$3
drive_exe=$4

scratch=$(mktemp -d "$build_dir/standin-smoke.XXXXXX")
client_pid=
failures=0
checks=0

end_client() {
    if [[ -n "$client_pid" ]] && kill -0 "$client_pid" 2>/dev/null; then
        drive close >/dev/null 2>&1
        wait_for_exit
    fi
}
trap 'end_client; rm -rf "$scratch"' EXIT

# The Windows form of a path (Wine maps the Unix root to drive Z:).
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

wine_program() {
    sh "$wine_run" "$build_dir" "$@"
}

drive() {
    wine_program "$drive_exe" "$@"
}

wait_for_exit() {
    local tries=0
    while kill -0 "$client_pid" 2>/dev/null && [[ $tries -lt 100 ]]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    if kill -0 "$client_pid" 2>/dev/null; then
        kill "$client_pid" 2>/dev/null
    fi
    wait "$client_pid" 2>/dev/null
    client_pid=
}

# start_client NAME [OPTIONS...]: starts a client logging to $scratch/NAME.log
# and waits for its "ready" line.
start_client() {
    log="$scratch/$1.log"
    shift
    wine_program "$client_exe" --log "$(windows_path "$log")" "$@" >"$log.out" 2>&1 &
    client_pid=$!
    local tries=0
    until grep -q ' ready' "$log" 2>/dev/null; do
        if [[ $tries -ge 200 ]] || ! kill -0 "$client_pid" 2>/dev/null; then
            echo "FAIL: the client did not get ready ($*)"
            cat "$log.out"
            failures=$((failures + 1))
            return 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
}

stop_client() {
    drive close >/dev/null 2>&1
    wait_for_exit
}

check() {
    checks=$((checks + 1))
    if [[ "$2" != "$3" ]]; then
        failures=$((failures + 1))
        echo "FAIL: $1"
        echo "  expected: $3"
        echo "  actual:   $2"
        echo "  log:"
        sed 's/^/    /' "$log"
    fi
}

# The log's events without their timestamps, one per line.
events() {
    cut -d' ' -f2- "$log" | grep -v -e '^ready' -e '^exit'
}

# The events of one kind, timestamps and the readable "shown=" part removed.
events_of() {
    events | grep -e "^$1 " -e "^$1\$" | sed 's/ shown=.*//'
}

hex_of() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP1252 | od -An -v -tx1 | tr -d ' \n' | tr 'a-f' 'A-F'
}

echo "== a chat line reaches the front room with its exact bytes"
start_client chat --rooms 2
drive chat 'é€ ¬ <b>x</b>'
drive chat ''
stop_client
check "lines posted" "$(events_of line)" \
    "line room=1 hex=$(hex_of 'é€ ¬ <b>x</b>')
line room=1 hex="

echo "== without a chat room nothing is posted"
start_client no-room --rooms 0 --front-docs 1
drive chat 'lost'
drive click 2
stop_client
check "no line, click on the document" "$(events | grep -v '^release')" "click window=doc1 icon=2"

echo "== instant messages switch the acceptance"
start_client ims
drive im '$im_off' '.'
drive im ' $IM_On ' '.'
drive im 'Buddy' 'hi there'
stop_client
check "IM events" "$(events | grep -v '^release')" "click window=toolbar icon=5
im-window-open window=im1
click window=im1 icon=12
im window=im1 to=$(hex_of '$im_off') text=2E shown=\$im_off: .
ims off
click window=toolbar icon=5
im-window-open window=im2
click window=im2 icon=12
im window=im2 to=$(hex_of ' $IM_On ') text=2E shown= \$IM_On : .
ims on
click window=toolbar icon=5
im-window-open window=im3
click window=im3 icon=12
im window=im3 to=$(hex_of 'Buddy') text=$(hex_of 'hi there') shown=Buddy: hi there"
check "presses end with the Space key" "$(events_of release | sort -u)" \
    "release window=im1 icon=12 by=space
release window=im2 icon=12 by=space
release window=im3 icon=12 by=space
release window=toolbar icon=5 by=space"

echo "== a slow IM window: the toolbar is pressed again until one opens"
start_client slow --im-delay-ms 1000
drive im 'Buddy' 'slow'
toolbar_presses=$(events | grep -c '^click window=toolbar icon=5')
check "pressed more than once" "$([[ $toolbar_presses -ge 2 ]] && echo yes)" yes
check "sent once" "$(events_of im | wc -l)" 1
stop_client

echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
