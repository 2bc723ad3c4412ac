#!/bin/sh
# The Wine test session of a cross build, run by CTest as the setup and
# cleanup of the wine_session fixture.
#
#   wine-session.sh start BUILD_DIR   prepare the prefix, start X if needed
#   wine-session.sh stop BUILD_DIR    end everything that start began
#
# start makes the 32-bit prefix once (a stamp file records it), starts one
# persistent wineserver, and without a DISPLAY starts one Xvfb for the whole
# run, recording its display number and pid under BUILD_DIR/wine-session.
# With LULLCAST_WINE_WINDOWS set (a winecfg version name such as winxp), the
# session is a second one with a prefix, a session folder and an X server of
# its own, and the prefix reports that version of Windows to the programs.
# LULLCAST_WINE_DPI (a number such as 144) does the same for a screen of that
# many dots per inch; the two combine.
# Everything started here writes to files, never to CTest's pipes: CTest waits
# for every holder of a test's output pipe to go away, so a server started
# with it would hold up the test until the server ends.
set -eu

if [ "$#" -ne 2 ]; then
    echo "usage: $0 start|stop BUILD_DIR" >&2
    exit 2
fi
action=$1
build_dir=$(cd "$2" && pwd)

windows_version=${LULLCAST_WINE_WINDOWS:-}
dpi=${LULLCAST_WINE_DPI:-}
variant=${windows_version:+-$windows_version}${dpi:+-${dpi}dpi}
session_dir="$build_dir/wine-session$variant"
display_file="$session_dir/display"
xvfb_pid_file="$session_dir/xvfb.pid"
log_file="$session_dir/session.log"

export WINEPREFIX="$build_dir/wineprefix$variant"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8

# The prefix is ready once per Wine version: wineboot made it and the X11
# driver lets windows be unmanaged (Xvfb has no window manager, and managed
# windows wait 2 s for one whenever a captioned window hides).
prefix_stamp="$WINEPREFIX/.lullcast-prefix-ready"

log() {
    printf '%s\n' "$*" >>"$log_file"
}

is_our_xvfb() {
    [ -n "$1" ] && [ -r "/proc/$1/comm" ] && [ "$(cat "/proc/$1/comm" 2>/dev/null)" = Xvfb ]
}

stop_xvfb() {
    [ -f "$xvfb_pid_file" ] || return 0
    pid=$(cat "$xvfb_pid_file")
    if is_our_xvfb "$pid"; then
        kill "$pid" 2>/dev/null || true
        tries=0
        while is_our_xvfb "$pid" && [ "$tries" -lt 50 ]; do
            sleep 0.1
            tries=$((tries + 1))
        done
        if is_our_xvfb "$pid"; then
            kill -9 "$pid" 2>/dev/null || true
        fi
        log "stopped Xvfb $pid"
    fi
    rm -f "$xvfb_pid_file" "$display_file"
}

start_xvfb() {
    rm -f "$display_file" "$display_file.new"
    # setsid: the server belongs to no terminal or process group of the run.
    # -displayfd: the server picks a free display and writes its number.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$display_file.new" >"$session_dir/xvfb.log" 2>&1 </dev/null &
    pid=$!
    echo "$pid" >"$xvfb_pid_file"
    tries=0
    while [ ! -s "$display_file.new" ] && [ "$tries" -lt 100 ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            break
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    if [ ! -s "$display_file.new" ]; then
        echo "Xvfb did not start; its log:" >&2
        cat "$session_dir/xvfb.log" >&2 || true
        stop_xvfb
        return 1
    fi
    read -r number <"$display_file.new"
    printf '%s\n' "$number" >"$display_file"
    rm -f "$display_file.new"
    DISPLAY=":$number"
    export DISPLAY
    log "started Xvfb $pid on $DISPLAY"
    echo "Xvfb $pid on display $DISPLAY"
}

prepare_prefix() {
    wanted="$(wine --version 2>/dev/null) unmanaged${windows_version:+ $windows_version}${dpi:+ $dpi dpi}"
    if [ -f "$prefix_stamp" ] && [ "$(cat "$prefix_stamp")" = "$wanted" ]; then
        # Starts Wine's services now, so that no test pays for them.
        wine wineboot >>"$log_file" 2>&1 </dev/null
        echo "Wine prefix $WINEPREFIX is ready"
        return 0
    fi
    echo "Preparing Wine prefix $WINEPREFIX"
    wine wineboot -i >>"$log_file" 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log_file" 2>&1 </dev/null
    if [ -n "$windows_version" ]; then
        wine winecfg -v "$windows_version" >>"$log_file" 2>&1 </dev/null
    fi
    if [ -n "$dpi" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            >>"$log_file" 2>&1 </dev/null
    fi
    printf '%s\n' "$wanted" >"$prefix_stamp"
}

start_session() {
    mkdir -p "$session_dir" "$WINEPREFIX"
    : >"$log_file"
    # Anything a run that never reached its cleanup left behind goes first.
    stop_xvfb
    wineserver -k >>"$log_file" 2>&1 </dev/null || true
    if [ -z "${DISPLAY:-}" ]; then
        start_xvfb
    else
        echo "Using DISPLAY=$DISPLAY"
    fi
    # One server for the whole run, started here with its output in the log.
    # Otherwise each test's first Wine program would start one, which keeps
    # that test's output pipe open for seconds after the test ends.
    wineserver -p >>"$log_file" 2>&1 </dev/null
    prepare_prefix
}

stop_session() {
    mkdir -p "$session_dir"
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k >>"$log_file" 2>&1 </dev/null || true
        wineserver -w >>"$log_file" 2>&1 </dev/null || true
    fi
    stop_xvfb
    echo "Wine session ended"
}

case "$action" in
    start) start_session ;;
    stop) stop_session ;;
    *)
        echo "unknown action: $action" >&2
        exit 2
        ;;
esac
