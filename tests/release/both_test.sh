#!/usr/bin/env bash
# Both Quillos on one 64-bit Windows, as a user may have them: the 64-bit setup, then the 32-bit
# one, silently, in a fresh Wine prefix. Each has its own folder, control, shortcuts and entry;
# the .viv association names the one installed last. A later start of either hands its file to
# the running player, whichever it is: a 32-bit start to the 64-bit player, a 64-bit start to
# the 32-bit player. Uninstalling the 32-bit Quillo leaves the 64-bit one playing (its start
# takes the association back); with both uninstalled nothing of ours is left but the settings.
#   tests/release/both_test.sh BUILD DIST    (BUILD: the x86_64 tree; DIST: tools/package's)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
version=$(sed -n 's/^project(Quillo VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
for arch in win64 win32; do
  if [ ! -f "$2/Quillo-$version-$arch-setup.exe" ]; then
    echo "NOT RUN: no Quillo-$version-$arch-setup.exe in $2 (release_package writes it)"
    exit 77
  fi
done
DIST=$(cd "$2" && pwd)
DIR64='C:\Program Files\Quillo'
DIR32='C:\Program Files (x86)\Quillo'
QUILLO="$DIR64\\Quillo.exe"
export QUILLO_E2E_PREFIX=$BUILD/wine-release-both-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
"${WINE_RUN[@]}" --can-run "$DIST/Quillo-$version-win32-setup.exe" || exit
WORK=$BUILD/release-both
"$ROOT/tools/wine-run" --prefix "$PREFIX" --stop
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK/home"
# Shortcuts must not reach the desktop of the user running the tests, nor Wine's links to it.
export HOME=$WORK/home WINEDLLOVERRIDES="winemenubuilder.exe=d"
cleanup() {
  stop_quillo
  "$ROOT/tools/wine-run" --prefix "$PREFIX" --stop
}
trap cleanup EXIT
source "$ROOT/tests/release/lib.sh"

CLSID='HKCR\CLSID\{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}\InprocServer32'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillo'
OPEN='HKCR\VivoFile\shell\open\command'
MENU=$PREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
# The registry as the 64-bit and as the 32-bit programs see it.
reg64() { REG=reg reg_value "$@"; }
reg32() { REG='C:\windows\syswow64\reg.exe' reg_value "$@"; }
LOG=$WORK/calls.log
export VVPPWEB_LOG=$(winpath "$LOG")
PLAYLIST=$WINE_TEMP/~~quillo.viv.tmp
for clip in a b c; do cp "$ROOT/tests/unit/VivoCorpus/clock.viv" "$WORK/$clip.viv"; done

# The running player is the program DIR\Quillo.exe, the only player window.
expect_player() {
  expect_eq "$2: the player" "$(probe_value program info TMainForm)" "$1\\Quillo.exe"
  expect_eq "$2: player windows" "$(probe_value count count TMainForm)" 1
}
# The running player plays CLIP (a Windows name): its playlist names it and it was told to play.
expect_playing() {
  local entry
  for _ in $(seq 50); do
    entry=$(tr -d '\r' <"$PLAYLIST" 2>/dev/null | sed -n 's/^next //p')
    [ "$entry" = "${1// /%20}" ] && tr -d '\r' <"$LOG" 2>/dev/null | grep -qx Play && return 0
    sleep 0.2
  done
  fail "$2: the playlist names '$entry', the control's commands: $(tr -d '\r' <"$LOG" 2>/dev/null | paste -sd '|')"
}
# Starts the player in DIR and, once it is up, the other Quillo in OTHER with CLIP: the later
# start ends at once, and the player in DIR plays CLIP.
hand_over() {
  local dir=$1 other=$2 clip=$3 what=$4 code
  rm -f "$LOG"
  QUILLO="$dir\\Quillo.exe" start_quillo
  expect_player "$dir" "$what, before"
  timeout 15 "${WINE_RUN[@]}" "$other\\Quillo.exe" "$clip"; code=$?
  expect_eq "$what: the later start's exit code" "$code" 0
  expect_playing "$clip" "$what"
  expect_player "$dir" "$what, after"
  stop_quillo
}

echo "== a fresh 64-bit Windows"
"${WINE_RUN[@]}" reg query 'HKCU\Software\Wine' >/dev/null || fail "the prefix could not be made"
snapshot fresh

echo "== the 64-bit setup, then the 32-bit one, silently"
expect_eq "the 64-bit setup's exit code" "$(run "$DIST/Quillo-$version-win64-setup.exe" /S)" 0
expect_eq "the 32-bit setup's exit code" "$(run "$DIST/Quillo-$version-win32-setup.exe" /S)" 0
expect_eq "the 64-bit control" "$(reg64 "$CLSID" '')" "$DIR64\\VVPPWEB.OCX"
expect_eq "the 32-bit control" "$(reg32 "$CLSID" '')" "$DIR32\\VVPPWEB.OCX"
expect_eq "the 64-bit entry" "$(reg64 "$UNINSTALL" DisplayName)" "Quillo"
expect_eq "the 32-bit entry" "$(reg32 "$UNINSTALL" DisplayName)" "Quillo (32-bit)"
[ -f "$MENU/Quillo.lnk" ] && [ -f "$MENU/Quillo (32-bit).lnk" ] ||
  fail "the Start menu holds $(ls "$MENU" | paste -sd '|')"
expect_eq "the association, 32-bit installed last" "$(reg64 "$OPEN" '')" "$DIR32\\Quillo.exe \"%1\""
expect_eq "the association as a 32-bit program sees it" "$(reg32 "$OPEN" '')" "$DIR32\\Quillo.exe \"%1\""

echo "== a 32-bit start hands its file to the running 64-bit player"
hand_over "$DIR64" "$DIR32" "$(winpath "$WORK/a.viv")" "32 to 64"

echo "== a 64-bit start hands its file to the running 32-bit player"
hand_over "$DIR32" "$DIR64" "$(winpath "$WORK/b.viv")" "64 to 32"

echo "== the 32-bit Quillo uninstalled: the 64-bit one plays on"
expect_eq "the 32-bit uninstaller's exit code" "$(run "$DIR32\\uninstall.exe" /S)" 0
settle
[ ! -e "$PREFIX/drive_c/Program Files (x86)/Quillo" ] || fail "the 32-bit folder is still there"
[ ! -e "$MENU/Quillo (32-bit).lnk" ] && [ -f "$MENU/Quillo.lnk" ] ||
  fail "the Start menu holds $(ls "$MENU" | paste -sd '|')"
expect_eq "the 32-bit control" "$(reg32 "$CLSID" '')" ""
expect_eq "the 64-bit control" "$(reg64 "$CLSID" '')" "$DIR64\\VVPPWEB.OCX"
expect_eq "the association, its player gone" "$(reg64 "$OPEN" '')" ""
rm -f "$LOG"
start_quillo "$(winpath "$WORK/c.viv")"
expect_playing "$(winpath "$WORK/c.viv")" "the 64-bit player alone"
expect_player "$DIR64" "the 64-bit player alone"
expect_eq "the association after its start" "$(reg64 "$OPEN" '')" "$DIR64\\Quillo.exe \"%1\""
stop_quillo

echo "== the 64-bit Quillo uninstalled too: nothing of ours is left but the settings"
expect_eq "the 64-bit uninstaller's exit code" "$(run "$DIR64\\uninstall.exe" /S)" 0
settle
# Each uninstaller ran from a copy in the temporary folder, which goes at the next restart.
"${WINE_RUN[@]}" wineboot -r >/dev/null 2>&1
snapshot gone
expect_eq "the changes after both uninstalls" "$(changes fresh gone)" "> C:\\windows\\Quillo.ini"

echo "PASS: both Quillos on one machine"
