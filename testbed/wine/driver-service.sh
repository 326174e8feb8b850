#!/bin/sh
# Runs the emulated ORVEXA driver as a kernel service of a Wine prefix.
#
#   driver-service.sh install SYS_PATH | start | stop | status | uninstall
#
# The caller sets WINEPREFIX and keeps `wineserver -p` running for as long as the driver
# should live (start the server, the driver and the clients in one script run).
# status exits 0 when the service is running, 3 when it is stopped, 4 when not installed.
set -eu

: "${WINEPREFIX:?set WINEPREFIX to the prefix directory}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

NAME=orvexa
DRIVERS_DIR="$WINEPREFIX/drive_c/windows/system32/drivers"
BIN_PATH='C:\windows\system32\drivers\orvexa.sys'
START_ATTEMPTS=5

. "$(dirname "$0")/native-wine.sh"
sc() { native_wine sc "$@"; }

query() { sc query "$NAME" 2>/dev/null; }
installed() { query | grep -q 'SERVICE_NAME'; }
running() { query | grep -q 'RUNNING'; }

wait_for() { # condition, seconds
    n=0
    while [ "$n" -lt "$2" ]; do
        if $1; then return 0; fi
        sleep 1
        n=$((n + 1))
    done
    $1
}

not_running() { ! running; }

stop_service() {
    if running; then
        sc stop "$NAME" >/dev/null 2>&1 || true
        wait_for not_running 10
    fi
}

case "${1:-}" in
install)
    sys="${2:-}"
    if [ ! -f "$sys" ]; then
        echo "driver-service.sh: no driver file '$sys'" >&2
        exit 1
    fi
    stop_service
    mkdir -p "$DRIVERS_DIR"
    cp "$sys" "$DRIVERS_DIR/orvexa.sys"
    if ! installed; then
        sc create "$NAME" type= kernel start= demand binPath= "$BIN_PATH" >/dev/null
    fi
    installed
    ;;
start)
    # on a fresh prefix the first start can be lost: retry until the service runs
    attempt=0
    while ! running; do
        if [ "$attempt" -ge "$START_ATTEMPTS" ]; then
            echo "driver-service.sh: $NAME did not start" >&2
            query >&2 || true
            exit 1
        fi
        sc start "$NAME" >/dev/null 2>&1 || true
        wait_for running 2 || true
        attempt=$((attempt + 1))
    done
    ;;
stop)
    stop_service
    ;;
status)
    if ! installed; then
        echo "$NAME: not installed"
        exit 4
    fi
    query
    running || exit 3
    ;;
uninstall)
    if installed; then
        stop_service
        sc delete "$NAME" >/dev/null
    fi
    rm -f "$DRIVERS_DIR/orvexa.sys"
    ;;
*)
    echo "usage: driver-service.sh install SYS_PATH | start | stop | status | uninstall" >&2
    exit 1
    ;;
esac
