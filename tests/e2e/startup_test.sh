#!/usr/bin/env bash
# Quillo.exe started like a user starts it: the command line played through the temporary
# playlist, the window's first look, the end of the process, and the recovery when the video
# control's class is not registered. BUILD names the Windows build tree.
set -uo pipefail
: "${BUILD:?BUILD must name the Windows build tree}"
# A prefix of our own: the windows, the control's registration and the temporary folder are
# nobody else's while this runs.
export QUILLO_E2E_PREFIX=${QUILLO_E2E_PREFIX:-$BUILD/wine-startup-1024x768}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

WORK=$BUILD/e2e-startup
PLAYLIST=$WINE_TEMP/~~quillo.viv.tmp
LOG=$WORK/calls.log
CLSID='HKCR\CLSID\{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}'
PROGID='HKCR\VVPPWEB.VvPPWebCtrl.1'
rm -rf "$WORK"
mkdir -p "$WORK"
export VVPPWEB_LOG=$(winpath "$LOG")

reg() { wine_reg "$@" >/dev/null 2>&1; }
# The server the class id leads to, or nothing.
registered_server() {
  wine_reg query "$CLSID\\InprocServer32" /ve 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ[[:space:]]*//p'
}
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"; }

# The registration as it was, put back however the script ends.
saved=()
for key in "$CLSID" "$PROGID"; do
  file=$WORK/saved-${#saved[@]}.reg
  if reg export "$key" "$(winpath "$file")" /y; then saved+=("$key=$file"); else saved+=("$key="); fi
done
restore_registration() {
  for entry in "${saved[@]}"; do
    reg delete "${entry%%=*}" /f
    [ -z "${entry#*=}" ] || reg import "$(winpath "${entry#*=}")"
  done
}
# Whatever is left running in our own prefix ends with the script.
cleanup() {
  stop_quillo
  restore_registration
  [ "$PREFIX" != "$QUILLO_E2E_PREFIX" ] || "$ROOT/tools/wine-run" --prefix "$PREFIX" --stop
}
trap cleanup EXIT

# Two clips where the control looks for names without a folder: beside the playlist.
mkdir -p "$WINE_TEMP"
for clip in a.viv "b c.viv"; do
  "${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$WINE_TEMP/$clip")" 160 120 30000 ||
    fail "cannot write $clip"
done

echo "== three arguments: one playlist, in their order, loaded and played"
rm -f "$PLAYLIST" "$LOG"
start_quillo a.viv "b c.viv" http://host/x.viv
printf 'Version:   Vivo/2.00\r\nBegin:     commands\r\nnext a.viv\r\nnext b%%20c.viv\r\nnext http://host/x.viv\r\n' >"$WORK/expected.viv"
cmp "$PLAYLIST" "$WORK/expected.viv" || fail "the temporary playlist differs: $(od -c "$PLAYLIST" | head -n 12)"
# The restored settings run the view commands first, which only read the control's state.
expect_eq "the control's first commands" \
  "$(tr -d '\r' <"$LOG" | grep -vx -e URL -e VideoWidth -e VideoHeight | head -n 3 | paste -sd '|')" \
  "Videocontrols=FALSE|Load(C:\\users\\$(id -un)\\Temp\\~~quillo.viv.tmp)|Play"
sleep 2
screenshot "$WORK/playing.png"
probe post TMainForm 0x0010 0 0 >/dev/null || fail "no player window to close"
wait_quillo 30 || fail "Quillo did not end after WM_CLOSE"
QUILLO_PID=
[ ! -e "$PLAYLIST" ] || fail "the temporary playlist is still there after the end"

echo "== a clip named relative to the folder Quillo starts in: written with its full name"
mkdir -p "$WORK/here"
"${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$WORK/here/my clip.viv")" 160 120 30000 ||
  fail "cannot write my clip.viv"
rm -f "$PLAYLIST"
(cd "$WORK/here" && start_quillo "my clip.viv" && sleep 1 && cp "$PLAYLIST" "$WORK/relative.viv"; stop_quillo) ||
  fail "the relative start did not run"
expect_eq "the relative entry" "$(tr -d '\r' <"$WORK/relative.viv" | sed -n 3p)" \
  "next $(winpath "$WORK/here/my clip.viv" | sed 's/ /%20/g')"

echo "== no arguments: nothing written, nothing loaded; the window's first look"
rm -f "$LOG"
start_quillo
sleep 1
[ ! -e "$PLAYLIST" ] || fail "a start without arguments wrote the temporary playlist"
commands=$(tr -d '\r' <"$LOG" 2>/dev/null | grep -vx -e URL -e VideoWidth -e VideoHeight)
[ -z "$commands" ] || fail "a start without arguments gave the control commands: $(echo "$commands" | paste -sd ' ')"
info=$(probe info TMainForm)
value() { sed -n "s/^$1=//p" <<<"$info"; }
expect_eq "client size" "$(value client)" "240,205"
style=$(value style)
(( (style & 0x00C00000) == 0 )) || fail "the window has caption bits: style $style"
(( (style & 0x00040000) != 0 )) || fail "the window has no sizing frame: style $style"
IFS=, read -r left top width height <<<"$(value window)"
IFS=x read -r screen_w screen_h <<<"$(probe_value screen screen)"
expect_eq "left edge" "$left" "$(( (screen_w - width) / 2 ))"
expect_eq "top edge" "$top" "$(( (screen_h - height) / 2 ))"
expect_eq "the taskbar button" "$(probe_value visible info TApplication)" "1"
stop_quillo

echo "== the control not registered, VVPPWEB.OCX beside the program: registered without a word"
mkdir -p "$WORK/app" "$WORK/bare"
cp "$BUILD/app/Quillo.exe" "$BUILD/app/VVPPWEB.OCX" "$WORK/app/"
cp "$BUILD/app/Quillo.exe" "$WORK/bare/"
# Unregistered by the copy the class names (an OCX takes away only its own registration).
unregister() {
  local server
  server=$(registered_server)
  [ -z "$server" ] || "${WINE_RUN[@]}" regsvr32 /u /s "$server"
  [ -z "$(registered_server)" ] || fail "the control is still registered to $(registered_server)"
}
unregister
QUILLO=$WORK/app/Quillo.exe start_quillo
probe wait '#32770' 1 >/dev/null && fail "a message box came up: $(probe dialog 0 | paste -sd ' ')"
expect_eq "the registered server" "$(registered_server)" "$(winpath "$WORK/app/VVPPWEB.OCX")"
stop_quillo

echo "== the control not registered and no VVPPWEB.OCX: the message, then the end"
unregister
"${WINE_RUN[@]}" "$WORK/bare/Quillo.exe" &
QUILLO_PID=$!
box=$(probe dialog 30) || fail "no message box came up"
for line in "title=Quillo" "button=OK" \
  "static=vvppweb.ocx not registered/not found!!\\rPlease put it in Quillo's directory."; do
  grep -qFx -- "$line" <<<"$box" || fail "the box lacks '$line': $(paste -sd '|' <<<"$box")"
done
probe info TMainForm >/dev/null && fail "the player window was created all the same"
probe post '#32770' 0x0111 1 0 >/dev/null
wait_quillo 30
status=$?
QUILLO_PID=
[ "$status" -ne 124 ] || fail "Quillo did not end after the message"
[ "$status" -ne 0 ] || fail "Quillo ended with exit code 0 after failing to start"

echo "== a VVPPWEB.OCX that is no library: said so, then the error report, then the end"
mkdir -p "$WORK/junk"
cp "$BUILD/app/Quillo.exe" "$WORK/junk/"
echo "not a library" >"$WORK/junk/VVPPWEB.OCX"
"${WINE_RUN[@]}" "$WORK/junk/Quillo.exe" &
QUILLO_PID=$!
box=$(probe dialog 30) || fail "no message box came up"
line="static=Failed to load \"$(winpath "$WORK/junk/VVPPWEB.OCX")\".\\rThe Program will not work properly!!"
grep -qFx -- "$line" <<<"$box" || fail "the first box: $(paste -sd '|' <<<"$box")"
probe post '#32770' 0x0111 1 0 >/dev/null
# The error report comes up as the first box goes.
report=
for _ in $(seq 1 50); do
  box=$(probe dialog 1) && ! grep -q '^static=Failed to load' <<<"$box" && report=$box && break
  sleep 0.2
done
grep -q '^static=.' <<<"$report" || fail "no error report after the first box: $(paste -sd '|' <<<"$box")"
probe info TMainForm >/dev/null && fail "the player window was created all the same"
probe post '#32770' 0x0111 1 0 >/dev/null
wait_quillo 30
status=$?
QUILLO_PID=
[ "$status" -ne 124 ] || fail "Quillo did not end after the error report"
[ "$status" -ne 0 ] || fail "Quillo ended with exit code 0 after failing to start"

echo "PASS"
