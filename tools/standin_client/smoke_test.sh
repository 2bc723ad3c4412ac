#!/usr/bin/env bash
# Runs the stand-in client under Wine, acts on it with standin-drive (Lull-Cast's
# own client code) and checks the event log, for what the end-to-end tests
# cannot make Lull-Cast send: any text's exact bytes, an IM window that is late.
#
#   smoke_test.sh BUILD_DIR WINE_RUN STANDIN_CLIENT STANDIN_DRIVE
#
# WINE_RUN is the build's Wine wrapper (cmake/wine-run.sh): it picks the
# build's prefix and the test session's display.
set -uo pipefail

[[ $# -eq 4 ]] || { echo "usage: $0 BUILD_DIR WINE_RUN STANDIN_CLIENT STANDIN_DRIVE" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
wine_run=$2 client_exe=$3 drive_exe=$4
scratch=$(mktemp -d "$build_dir/standin-smoke.XXXXXX")
client_pid= failures=0 checks=0

wine_program() { sh "$wine_run" "$build_dir" "$@"; }
drive() { wine_program "$drive_exe" "$@"; }

# Asks the client to close and waits up to 10 s for it, then kills it.
stop_client() {
    [[ -n "$client_pid" ]] || return 0
    drive close >/dev/null 2>&1
    local tries=0
    while kill -0 "$client_pid" 2>/dev/null && [[ $tries -lt 100 ]]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    kill "$client_pid" 2>/dev/null
    wait "$client_pid" 2>/dev/null
    client_pid=
}
trap 'stop_client; rm -rf "$scratch"' EXIT

# start_client NAME [OPTIONS...]: starts a client logging to $scratch/NAME.log
# (Wine maps the Unix root to drive Z:) and waits for its "ready" line.
start_client() {
    log="$scratch/$1.log"
    shift
    wine_program "$client_exe" --log "Z:${log//\//\\}" "$@" >"$log.out" 2>&1 &
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

check() {
    checks=$((checks + 1))
    [[ "$2" == "$3" ]] && return
    failures=$((failures + 1))
    printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n  log:\n' "$1" "$3" "$2"
    sed 's/^/    /' "$log"
}

# The events of one kind, without their timestamps and readable "shown=" part.
events_of() { cut -d' ' -f2- "$log" | grep -e "^$1 " -e "^$1\$" | sed 's/ shown=.*//'; }

hex_of() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP1252 | od -An -v -tx1 | tr -d ' \n' | tr 'a-f' 'A-F'
}

echo "== a chat line reaches the front room with its exact bytes"
start_client chat --rooms 2
drive chat 'é€ ¬ <b>x</b>'
drive chat ''
stop_client
check "lines posted" "$(events_of line)" "line room=1 hex=$(hex_of 'é€ ¬ <b>x</b>')
line room=1 hex="

echo "== a slow IM window: the toolbar is pressed again until one opens"
start_client slow --im-delay-ms 1000
drive im 'Buddy' 'slow'
toolbar_presses=$(events_of click | grep -c '^click window=toolbar icon=5')
check "pressed more than once" "$([[ $toolbar_presses -ge 2 ]] && echo yes)" yes
check "sent once, pressed with the Space key" "$(events_of im; events_of release | sort -u)" \
    "im window=im1 to=$(hex_of 'Buddy') text=$(hex_of 'slow')
release window=im1 icon=12 by=space
release window=toolbar icon=5 by=space"
stop_client

echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
