#!/usr/bin/env bash
# Starts or stops the test HTTP server for the video control's tests (a CTest fixture).
#   http_clip_server.sh start STATE-DIR    serves STATE-DIR/root; the port goes to STATE-DIR/port
#   http_clip_server.sh stop STATE-DIR     ends the server started there, by its process id
set -euo pipefail
action=$1 state=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "$action" in
  start)
    "$0" stop "$state" || true
    mkdir -p "$state/root"
    rm -f "$state/port"
    setsid python3 "$here/http_clip_server.py" --root "$state/root" --port-file "$state/port" \
      </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 1 100); do
      [ -s "$state/port" ] && { echo "serving $state/root on port $(cat "$state/port")"; exit 0; }
      kill -0 "$(cat "$state/pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "the test HTTP server did not start:" >&2
    cat "$state/server.log" >&2
    exit 1
    ;;
  stop)
    [ -f "$state/pid" ] || exit 0
    pid=$(cat "$state/pid")
    kill "$pid" 2>/dev/null || true
    rm -f "$state/pid" "$state/port"
    ;;
  *)
    echo "usage: http_clip_server.sh start|stop STATE-DIR" >&2
    exit 2
    ;;
esac
