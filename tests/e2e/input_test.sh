#!/usr/bin/env bash
# Real keys and mouse at the running player: the menu on Alt, the placement keys, Escape, the
# shortcuts during fast forward, dragging, Always On Top and the tray icon.
#   tests/e2e/input_test.sh BUILD      (a Windows build tree with Quillo, probe and makeviv)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
# A Wine and a display of our own, so no other test's windows take our keys.
QUILLO_E2E_PREFIX=$BUILD/wine-input-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap stop_quillo EXIT

DATA=$BUILD/e2e-input
CLIP=$DATA/hour.viv
LOG=$DATA/calls.log
mkdir -p "$DATA"
rm -f "$LOG"
# An hour-long clip: fast forward must not reach its end while we type.
"${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$CLIP")" 176 144 3600000 ||
  fail "makeviv could not write the clip"
export VVPPWEB_LOG=$(winpath "$LOG")

# await_size WxH WHAT: the same for the player window's outer size, written W,H.
await_size() {
  local got
  for _ in $(seq 25); do
    got=$(value TMainForm window)
    [ "${got#*,*,}" = "$1" ] && return 0
    sleep 0.2
  done
  fail "$2: expected the size $1, got the window $got"
}
# Screen point of a client point of the player window.
at() {
  local origin
  origin=$(value TMainForm client_origin)
  echo "$((${origin%,*} + $1)) $((${origin#*,} + $2))"
}
# The command menu opened by a key: its corner must be $1, then it is closed again.
menu_at() {
  local corner
  corner=$(probe menu 5 | sed -n 's/^menu_window=\([0-9-]*,[0-9-]*\),.*/\1/p')
  [ "$corner" = "$1" ] || fail "$2: expected the menu at $1, got '${corner}'"
  probe close-menu >/dev/null
  for _ in $(seq 25); do probe menu 0.1 >/dev/null || return 0; done
  fail "$2: the menu did not close"
}
# The control's calls since mark.
mark() { MARK=$(wc -l <"$LOG"); }
since() { tail -n +$((MARK + 1)) "$LOG" | tr -d '\r'; }
await_call() {
  for _ in $(seq 25); do
    since | grep -qx "$1" && return 0
    sleep 0.2
  done
  fail "$2: expected the call $1, got: $(since | tr '\n' ' ')"
}
key() { xdo key "$@"; sleep 0.3; }

start_quillo "$(winpath "$CLIP")"
await TMainForm visible 1 "start"
sleep 1
window=$(value TMainForm window)
original=${window#*,*,}
# A click on the video gives it the focus: from then on keys reach the player through its child.
xdo mousemove $(at 100 80) click 1

# A real resize by the bottom-right corner to an outer size of 248 x 213.
IFS=, read -r left top width height <<<"$window"
xdo mousemove $((left + width - 1)) $((top + height - 1)) mousedown 1 \
    mousemove_relative -- $((248 - width)) $((213 - height)) mouseup 1
await TMainForm window "$left,$top,248,213" "resize"

key ctrl+KP_5; await TMainForm window "388,277,248,213" "Ctrl+keypad 5"
key ctrl+End; await TMainForm window "0,555,248,213" "Ctrl+End"
key ctrl+Next; await TMainForm window "776,555,248,213" "Ctrl+Page Down"
key ctrl+KP_5; await TMainForm window "388,277,248,213" "Ctrl+keypad 5 again"

# The skin scaled to a 242 x 207 client puts the 20 x 20 key at 202, 184.
key alt; menu_at "$((388 + 202 + 10)),$((277 + 184 + 10))" "Alt"

# Dragging by the skin and by the video; moves after the release do nothing.
xdo mousemove $(at 8 100) mousedown 1 mousemove_relative 10 0
await TMainForm window "398,277,248,213" "dragging the picture"
xdo mouseup 1 mousemove_relative 10 0; sleep 0.5
await TMainForm window "398,277,248,213" "moving after the release"
xdo mousemove $(at 100 80) mousedown 1 mousemove_relative -- -10 7
await TMainForm window "388,284,248,213" "dragging the video"
xdo mouseup 1 mousemove_relative 0 10; sleep 0.5
await TMainForm window "388,284,248,213" "moving after the release from the video"

# Compact mode hides the key: Alt opens the menu at the window's centre. Escape leaves it.
key ctrl+shift+c; await_size "182,150" "compact mode"
IFS=, read -r left top width height <<<"$(value TMainForm window)"
key alt; menu_at "$((left + width / 2)),$((top + height / 2))" "Alt in compact mode"
key Escape; await_size "$original" "Escape from compact mode"

# Full screen: the client fills the screen, the frame lies beyond it.
key ctrl+4; await_size "1030,774" "Ctrl+4"
key Escape; await_size "$original" "Escape from full screen"

key ctrl+shift+a; await TMainForm topmost 1 "Always On Top"
key ctrl+shift+a; await TMainForm topmost 0 "Always On Top twice"

# Fast forward: its loop dispatches the keys itself, so FormKeyDown carries out the shortcuts.
xdo mousemove $(at 60 60) click 1
mark; key ctrl+f; key ctrl+s; await_call Rewind "Ctrl+S during fast forward"
mark; key ctrl+p; await_call Play "Ctrl+P after the stop"
mark; key ctrl+f; key ctrl+shift+s; await_call SaveAs "Ctrl+Shift+S during fast forward"
probe wait '#32770' 10 >/dev/null || fail "the control's save dialog did not open"
title=$(value '#32770' title)
[ "$title" = "Save a Copy of the Clip" ] || fail "another dialog opened: $title"
probe post '#32770' 0x0010 0 0 >/dev/null
probe gone '#32770' 10 || fail "the save dialog did not close"
# Still fast forwarding: Ctrl+F and Ctrl+M do nothing, Ctrl+keypad 1 only moves the window.
mark; key ctrl+f; key ctrl+m; key ctrl+KP_1
await TMainForm window "0,$((768 - ${original#*,})),$original" "Ctrl+keypad 1 during fast forward"
sleep 0.5
[ -z "$(since)" ] || fail "Ctrl+F, Ctrl+M or Ctrl+keypad 1 called the control: $(since | tr '\n' ' ')"
[ "$(value TMainForm visible)" = 1 ] || fail "Ctrl+M minimised during fast forward"
# Play / Pause plays during fast forward, and ends it.
mark; key ctrl+p; await_call Play "Ctrl+P during fast forward"
since | grep -qx Pause && fail "Ctrl+P paused during fast forward"
mark; key ctrl+f; key Escape; key ctrl+p; await_call Pause "Ctrl+P after Escape ended fast forward"

# System Tray hides the taskbar window; after Minimize a click on the icon brings the player back.
key ctrl+t; await TApplication visible 0 "System Tray"
key ctrl+m; await TMainForm visible 0 "Minimize"
probe post QuilloTrayIconWindow 0x0401 0 0x0202 >/dev/null || fail "no tray icon window"
await TMainForm visible 1 "a click on the tray icon"
await TMainForm foreground 1 "a click on the tray icon"
xdo mousemove $(at 60 60) click 1
key ctrl+t; await TApplication visible 1 "System Tray off"

stop_quillo
echo "input: all checks passed"
