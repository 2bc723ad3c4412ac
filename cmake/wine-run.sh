#!/bin/sh
# Runs a cross-built Windows program under 32-bit Wine.
#
#   wine-run.sh BUILD_DIR PROGRAM [ARGUMENTS...]
#
# CTest calls this as the cross-compiling emulator. The Wine prefix lives in
# the build directory so that each build has its own 32-bit prefix (a 64-bit
# one cannot load 32-bit programs). Without a DISPLAY of its own the program
# uses the X server that the test session started (see wine-session.sh).
set -eu

if [ "$#" -lt 2 ]; then
    echo "usage: $0 BUILD_DIR PROGRAM [ARGUMENTS...]" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
shift

# LULLCAST_WINE_WINDOWS names the Windows version, LULLCAST_WINE_DPI the screen
# resolution, of a second session with a prefix of its own (see
# wine-session.sh); unset, the build's own prefix.
variant=${LULLCAST_WINE_WINDOWS:+-$LULLCAST_WINE_WINDOWS}${LULLCAST_WINE_DPI:+-${LULLCAST_WINE_DPI}dpi}
export WINEPREFIX="$build_dir/wineprefix$variant"
export WINEARCH=win32
export WINEDEBUG=-all
# Keeps the first start from offering to install Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8

display_file="$build_dir/wine-session$variant/display"
if [ -z "${DISPLAY:-}" ] && [ -s "$display_file" ]; then
    DISPLAY=":$(cat "$display_file")"
    export DISPLAY
fi

# The program writes to a file that is copied to our output as it grows.
# Wine starts helper processes (the desktop, services) that inherit the
# starter's output and outlive it by a second or more; were that output
# CTest's pipe, CTest would wait for them before it calls the test done.
output_dir="$build_dir/wine-session$variant"
mkdir -p "$output_dir"
output=$(mktemp "$output_dir/output.XXXXXX")
wine "$@" >"$output" 2>&1 &
program_pid=$!
tail -n +1 -s 0.1 -f --pid="$program_pid" "$output" &
copier_pid=$!
status=0
wait "$program_pid" || status=$?
wait "$copier_pid" || true
rm -f "$output"
exit "$status"
