#!/usr/bin/env bash
# The application shell through real processes: the .viv association at every start, later
# starts handing their command line to the running player (alone, minimised, in a burst, and a
# broken block; a still after a still shows its own picture), and the settings file kept across restarts, in the Windows folder or, where
# that cannot be written, in the user's application data.
#   tests/e2e/shell_test.sh BUILD      (a Windows build tree with Quillo, probe and makeviv)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
QUILLO_E2E_PREFIX=$BUILD/wine-shell-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

DATA=$BUILD/e2e-shell
LOG=$DATA/calls.log
PLAYLIST=$WINE_TEMP/~~quillo.viv.tmp
INI=$PREFIX/drive_c/windows/Quillo.ini
USER_INI=$PREFIX/drive_c/users/$(id -un)/AppData/Roaming/Quillo/Quillo.ini
# The settings are what this script is about: each start keeps what the last one wrote.
export QUILLO_KEEP_SETTINGS=1
rm -rf "$DATA"
mkdir -p "$DATA/here" "$DATA/burst"
cd "$DATA"
rmdir "$INI" 2>/dev/null
rm -f "$INI" "$USER_INI"
export VVPPWEB_LOG=$(winpath "$LOG")
cleanup() {
  stop_quillo
  rmdir "$INI" 2>/dev/null
  rm -f "$INI" "$USER_INI"
}
trap cleanup EXIT

expect_eq() { [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"; }
# await_file FILE EXPECTED-BYTES WHAT: waits up to 10 seconds for a file to hold those bytes.
await_file() {
  for _ in $(seq 50); do
    [ -f "$1" ] && [ "$(cat "$1")" = "$2" ] && return 0
    sleep 0.2
  done
  fail "$3: expected $(printf '%q' "$2"), got $(printf '%q' "$(cat "$1" 2>/dev/null)")"
}
playlist_of() {
  printf 'Version:   Vivo/2.00\r\nBegin:     commands\r'
  for entry in "$@"; do printf '\nnext %s\r' "${entry// /%20}"; done
}
ini_of() {  # SIZE MODE TOP SAVER TRAY LASTDIR
  printf '[View]\r\nSize=%s\r\nMode=%s\r\nAlwaysOnTop=%s\r\n[Misc]\r\nDisableScreenSaver=%s\r\nSystemTray=%s\r\nLastDir=%s\r' "$@"
}
# The default value of a key under HKEY_CLASSES_ROOT, or <missing>.
classes_value() {
  local out
  out=$(wine_reg query "HKCR\\$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
  echo "${out:-<missing>}"
}
expect_association() {  # PROGRAM-WINDOWS-PATH WHAT
  expect_eq "$2: .viv" "$(classes_value .viv)" "VivoFile"
  expect_eq "$2: VivoFile" "$(classes_value VivoFile)" "Vivo Files"
  expect_eq "$2: DefaultIcon" "$(classes_value 'VivoFile\DefaultIcon')" "$1,0"
  expect_eq "$2: open command" "$(classes_value 'VivoFile\shell\open\command')" "$1 \"%1\""
}
# A later start: its exit code, which must come within LATER_SECONDS (15).
later_start() { timeout "${LATER_SECONDS:-15}" "${WINE_RUN[@]}" "$QUILLO" "$@"; }
player_windows() { probe_value count count TMainForm; }
key() { xdo key "$@"; sleep 0.3; }
focus_video() {
  local origin
  origin=$(value TMainForm client_origin)
  xdo mousemove $((${origin%,*} + 100)) $((${origin#*,} + 80)) click 1
}

"${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$DATA/a.viv")" 160 120 600000 ||
  fail "makeviv could not write the clip"
cp "$DATA/a.viv" "$DATA/b c.viv"
for i in $(seq 20); do mkdir -p "$DATA/burst/$i"; cp "$DATA/a.viv" "$DATA/burst/$i/a.viv"; cp "$DATA/a.viv" "$DATA/burst/$i/b.viv"; done
A=$(winpath "$DATA/a.viv")
BC=$(winpath "$DATA/b c.viv")

echo "== the first start writes the association over another program's"
wine_reg add 'HKCR\.viv' /ve /d OtherPlayer.File /f >/dev/null 2>&1
start_quillo
expect_association "$(winpath "$QUILLO")" "first start"

echo "== a later start with two files hands them over and writes nothing"
wine_reg delete 'HKCR\VivoFile\DefaultIcon' /f >/dev/null 2>&1
rm -f "$PLAYLIST" "$LOG"
began=$SECONDS
later_start "$A" "$BC"; code=$?
expect_eq "the later start's exit code" "$code" 0
[ $((SECONDS - began)) -le 8 ] || fail "the later start took $((SECONDS - began)) seconds"
await_file "$PLAYLIST" "$(playlist_of "$A" "$BC")" "the first instance's playlist"
for _ in $(seq 50); do grep -qx Play <(tr -d '\r' <"$LOG") && break; sleep 0.2; done
expect_eq "the loads after the hand-over" "$(tr -d '\r' <"$LOG" | grep '^Load(' | paste -sd '|')" \
  "Load()|Load(C:\\users\\$(id -un)\\Temp\\~~quillo.viv.tmp)"
tr -d '\r' <"$LOG" | grep -qx Play || fail "the handed-over playlist was not played"
expect_eq "player windows" "$(player_windows)" 1
expect_eq "the icon key after a later start" "$(classes_value 'VivoFile\DefaultIcon')" "<missing>"
[ ! -e "$INI" ] || fail "a settings file was written while the first instance runs"

echo "== two stills: the second, handed over while the first plays, shows its own picture within a second"
# The middle of the video on the screen, as X Y.
video_middle() {
  local origin child x y w h
  origin=$(value TMainForm client_origin)
  child=$(probe children TMainForm | sed -n 's/^child=VvPPWebView,//p' | head -n 1)
  IFS=, read -r x y w h _ <<<"$child"
  echo "$((${origin%,*} + x + w / 2)) $((${origin#*,} + y + h / 2))"
}
# The colour on the screen at X Y now: amber, teal or other.
colour_at() {
  screenshot "$DATA/still.png"
  convert "$DATA/still.png" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.b)]" info: | {
    read -r red blue
    if [ "$red" -gt 160 ] && [ "$blue" -lt 96 ]; then echo amber
    elif [ "$red" -lt 96 ] && [ "$blue" -gt 112 ]; then echo teal
    else echo "other($red,$blue)"; fi
  }
}
# await_colour COLOUR MILLISECONDS WHAT: the middle of the video shows COLOUR in a screenshot
# taken within that time from now.
await_colour() {
  local deadline=$(($(date +%s%3N) + $2)) got taken
  while :; do
    taken=$(date +%s%3N)
    got=$(colour_at $MIDDLE)
    [ "$got" = "$1" ] && return 0
    [ "$taken" -lt "$deadline" ] || fail "$3: expected $1, got $got"
  done
}
later_start "$(winpath "$ROOT/tests/unit/VivoCorpus/still-amber.viv")" || fail "the first still's start failed"
MIDDLE=
for _ in $(seq 50); do
  MIDDLE=$(video_middle)
  [ "$(colour_at $MIDDLE)" = amber ] && break
  sleep 0.2
done
[ "$(colour_at $MIDDLE)" = amber ] || fail "the first still: expected amber at $MIDDLE"
later_start "$(winpath "$ROOT/tests/unit/VivoCorpus/still-teal.viv")" || fail "the second still's start failed"
await_colour teal 1000 "the second still, a second after its hand-over"

echo "== a later start without arguments restores the minimised player, its playlist untouched"
cp "$PLAYLIST" "$DATA/before.viv"
probe post TMainForm 0x0112 0xF020 0 >/dev/null
await TMainForm visible 0 "minimising"
later_start; code=$?
expect_eq "the exit code without arguments" "$code" 0
await TMainForm visible 1 "a later start restores the player"
await TMainForm iconic 0 "a later start restores the player"
cmp -s "$PLAYLIST" "$DATA/before.viv" || fail "a start without arguments changed the playlist"

echo "== a hand-over line without a NUL is read within its 1024 bytes"
junk=$(printf 'A%.0s' $(seq 1022))
probe handover-junk "q " 0x41 >/dev/null || fail "the probe found no hand-over block"
await_file "$PLAYLIST" "$(playlist_of "$junk")" "the junk line's one argument"
probe dialog 10 | grep -q '^static=Error loading file/URL' || fail "no error for the junk clip"
probe post '#32770' 0x0010 0 0 >/dev/null
probe gone '#32770' 10 || fail "the error box did not close"
later_start "$A"; code=$?
expect_eq "a hand-over after the junk" "$code" 0
await_file "$PLAYLIST" "$(playlist_of "$A")" "a hand-over after the junk"

echo "== an argument holding a line break is refused aloud, the others play"
later_start "$BC" "$A"$'\n'"next"$'\t'"$BC"; code=$?
expect_eq "the exit code with a line break" "$code" 0
expect_eq "the refusal" "$(probe dialog 10 | grep '^static=')" \
  "static=\"$A?next?$BC\" cannot be played: it holds a line break or another control character."
probe post '#32770' 0x0010 0 0 >/dev/null
await_file "$PLAYLIST" "$(playlist_of "$BC")" "the playable argument alone"

echo "== twenty later starts at once: each hands over, one of them wins whole"
pids=()
for i in $(seq 20); do
  LATER_SECONDS=90 later_start "$(winpath "$DATA/burst/$i/a.viv")" "$(winpath "$DATA/burst/$i/b.viv")" &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid"; code=$?
  [ "$code" = 0 ] || fail "a start of the burst ended with $code"
done
settled=
for _ in $(seq 50); do
  entries=$(tr -d '\r' <"$PLAYLIST" | sed -n 's/^next //p')
  if [ "$(echo "$entries" | wc -l)" = 2 ]; then
    first=$(echo "$entries" | head -n 1); second=$(echo "$entries" | tail -n 1)
    [ "${first%a.viv}b.viv" = "$second" ] || fail "the playlist mixes two starts: $first / $second"
    case $first in *burst*) settled=1; break ;; esac
  fi
  sleep 0.2
done
[ -n "$settled" ] || fail "no start of the burst reached the playlist"
expect_eq "player windows after the burst" "$(player_windows)" 1
later_start "$BC"; code=$?
expect_eq "a hand-over after the burst" "$code" 0
await_file "$PLAYLIST" "$(playlist_of "$BC")" "the player answers after the burst"
stop_quillo
[ -f "$INI" ] || fail "the first instance kept no settings"

echo "== the settings come back after a restart"
# Started afresh in one folder; the restart in another comes back to the first.
rm -f "$INI"
pushd "$DATA/here" >/dev/null
start_quillo "$A"
popd >/dev/null
await TMainForm visible 1 "start with a clip"
focus_video
key ctrl+2; key ctrl+shift+a; key ctrl+d
await TMainForm topmost 1 "Always On Top"
double=$(value TMainForm window); double=${double#*,*,}
key ctrl+t; await TApplication visible 0 "System Tray"
stop_quillo
HERE=$(winpath "$DATA/here")
await_file "$INI" "$(ini_of 2 0 1 1 1 "$HERE")" "the settings written at the end"
start_quillo "$A"
await TMainForm topmost 1 "Always On Top restored"
await TApplication visible 0 "System Tray restored"
got=$(value TMainForm window)
expect_eq "Double Size restored" "${got#*,*,}" "$double"
stop_quillo
await_file "$INI" "$(ini_of 2 0 1 1 1 "$HERE")" "the restored settings written again"

echo "== junk values and a missing folder give the defaults"
printf '[View]\r\nSize=7\r\nMode=4\r\nAlwaysOnTop=yes\r\n[Misc]\r\nDisableScreenSaver=-\r\nSystemTray=0x\r\nLastDir=%s\r\n' \
  "$(winpath "$DATA/gone")$(printf 'x%.0s' $(seq 5000))" >"$INI"
pushd "$DATA" >/dev/null
start_quillo
popd >/dev/null
await TMainForm topmost 0 "AlwaysOnTop=yes"
await TApplication visible 1 "SystemTray=0x"
stop_quillo
await_file "$INI" "$(ini_of 1 0 0 0 0 "$(winpath "$DATA")")" "defaults written back"

echo "== a Windows folder that refuses the file: the settings live in the user's folder"
rm -f "$INI"; mkdir "$INI"
start_quillo "$A"
await TMainForm visible 1 "start with the settings folder blocked"
focus_video
key ctrl+shift+a; await TMainForm topmost 1 "Always On Top"
stop_quillo
[ -d "$INI" ] || fail "the blocking folder is gone"
await_file "$USER_INI" "$(ini_of 1 0 1 0 0 "$(winpath "$DATA")")" "the settings in the user's folder"
start_quillo
await TMainForm topmost 1 "Always On Top from the user's folder"
stop_quillo
echo "== both places refusing: the error at the end"
rm -f "$USER_INI"; mkdir "$USER_INI"
start_quillo
probe post TMainForm 0x0010 0 0 >/dev/null
expect_eq "the error box" "$(probe dialog 20 | grep '^static=')" "static=Unable to write to Quillo.ini"
probe post '#32770' 0x0010 0 0 >/dev/null
wait_quillo 30; code=$?
QUILLO_PID=
expect_eq "the exit code after the refused settings" "$code" 1
rmdir "$INI" "$USER_INI"

echo "== another program's object named Quillo: the guard's error, and nothing starts"
# Straight from the probe: a filter in between would hold its line back until it ends.
coproc SQUAT { "${WINE_RUN[@]}" "$PROBE" squat Quillo; }
read -r held <&"${SQUAT[0]}"
expect_eq "the squatter" "${held%$'\r'}" "held=Quillo"
"${WINE_RUN[@]}" "$QUILLO" &
QUILLO_PID=$!
expect_eq "the guard's error" "$(probe dialog 20 | grep '^static=')" \
  "static=OneInstance failed to create file mapping, Error #6"
expect_eq "player windows beside the guard's error" "$(player_windows)" 0
probe post '#32770' 0x0010 0 0 >/dev/null
wait_quillo 30; code=$?
QUILLO_PID=
expect_eq "the exit code after the guard's error" "$code" 1
squatter=$SQUAT_PID
squat_input=${SQUAT[1]}
exec {squat_input}>&-
wait "$squatter" || fail "the squatter did not end with its input"

echo "== started from a folder with spaces, the association follows the program"
mkdir -p "$DATA/Quillo Copy"
cp "$QUILLO" "$BUILD/app/VVPPWEB.OCX" "$DATA/Quillo Copy/"
QUILLO="$DATA/Quillo Copy/Quillo.exe"
start_quillo
expect_association "$(winpath "$QUILLO")" "the moved program"
stop_quillo

echo "shell: all checks passed"
