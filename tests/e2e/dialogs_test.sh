#!/usr/bin/env bash
# The playlist editor and the two About dialogs of the running player, opened and closed with
# real keys, dragged with the real mouse, their pictures checked and kept as screenshots in
# BUILD/e2e-dialogs/ for a person to look at.
#   tests/e2e/dialogs_test.sh BUILD      (a Windows build tree with Quillo, probe and makeviv)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
# A Wine and a display of our own, so no other test's windows take our keys.
QUILLO_E2E_PREFIX=$BUILD/wine-dialogs-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap stop_quillo EXIT

SHOTS=$BUILD/e2e-dialogs
BACK=$ROOT/res/pictures/AboutBack.bmp
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
clips=()
for name in "opening titles" "the long interview" "closing credits"; do
  # An hour each: fast forward must not reach the end while we type.
  "${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$SHOTS/$name.viv")" 176 144 3600000 ||
    fail "makeviv could not write $name.viv"
  clips+=("$(winpath "$SHOTS/$name.viv")")
done

key() { xdo key "$@"; sleep 0.3; }
# Screen point of a client point of a window of CLASS.
at() {
  local origin
  origin=$(value "$1" client_origin)
  echo "$((${origin%,*} + $2)) $((${origin#*,} + $3))"
}
# The colour of one pixel of a picture, as R,G,B.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}
# drag CLASS X Y DX DY: presses at a client point, moves by DX, DY and releases there.
drag() {
  xdo mousemove $(at "$1" "$2" "$3") mousedown 1 mousemove_relative -- "$4" "$5"
  sleep 0.5
  xdo mouseup 1
  sleep 0.3
}
# shown CLASS SIZE WHAT: the dialog is up in the middle of the screen, exactly SIZE x SIZE.
shown() {
  await "$1" visible 1 "$3"
  local w=$2
  await "$1" window "$(((1024 - w) / 2)),$(((768 - w) / 2)),$w,$w" "$3: centred, without frame"
  await "$1" client "$w,$w" "$3: client area"
}
# The dialog's background at client point X, Y is the About picture's pixel under it, the
# picture stretched over SIZE x SIZE (so any of the source pixels next to the point).
background_at() {
  local shot=$1 class=$2 size=$3 x=$4 y=$5 origin got sx sy
  origin=$(value "$class" client_origin)
  got=$(pixel "$shot" $((${origin%,*} + x)) $((${origin#*,} + y)))
  sx=$((x * 300 / size)); sy=$((y * 300 / size))
  for dy in 0 1 -1; do
    for dx in 0 1 -1; do
      [ "$(pixel "$BACK" $((sx + dx)) $((sy + dy)))" = "$got" ] && return 0
    done
  done
  fail "$class: the background at $x,$y is $got, not the About picture's near $sx,$sy"
}

start_quillo "${clips[@]}"
await TMainForm visible 1 "start"
# The keys go to the focused window: a click on the set's frame, away from its menu key.
xdo mousemove $(at TMainForm 8 185) click 1
sleep 0.5

echo "== Ctrl+L: the editor with the command line's clips"
key ctrl+l
probe wait TPlayListForm 10 >/dev/null || fail "Ctrl+L did not open the playlist editor"
size=$(value TPlayListForm client); size=${size%,*}
shown TPlayListForm "$size" "the editor"
[ "$(value TPlayListForm title)" = "Playlist Editor" ] || fail "the editor's title: $(value TPlayListForm title)"
sleep 0.5
screenshot "$SHOTS/editor.png"
# The list's empty part, below the three entries, in the list's own colour; the picture around.
origin=$(value TPlayListForm client_origin)
list=$(pixel "$SHOTS/editor.png" $((${origin%,*} + size / 2)) $((${origin#*,} + size / 2)))
[ "$list" = "134,145,156" ] || fail "the list's background is $list, not 134,145,156"
background_at "$SHOTS/editor.png" TPlayListForm "$size" $((size * 210 / 300)) $((size * 285 / 300))
background_at "$SHOTS/editor.png" TPlayListForm "$size" 3 $((size / 2))
echo "ok editor: ${size}x$size, centred, list 134,145,156, background the About picture"

echo "== dragging the editor: by its picture it moves, by the list or a button it does not"
IFS=, read -r left top _ _ <<<"$(value TPlayListForm window)"
drag TPlayListForm $((size * 210 / 300)) $((size * 285 / 300)) 30 20
await TPlayListForm window "$((left + 30)),$((top + 20)),$size,$size" "dragged by the picture"
drag TPlayListForm $((size / 2)) $((size / 2)) 40 25
await TPlayListForm window "$((left + 30)),$((top + 20)),$size,$size" "dragged on the list"
# Pressed on Export and released away from it: no move, and no save dialog.
drag TPlayListForm $((size * 164 / 300)) $((size * 272 / 300)) 0 -60
await TPlayListForm window "$((left + 30)),$((top + 20)),$size,$size" "dragged on a button"
probe dialog 1 >/dev/null && fail "a press released off the Export button opened a dialog"
echo "ok dragging"

echo "== Escape in the list closes the editor; Ctrl+L and Enter: closed without a question"
key Escape
await TPlayListForm visible 0 "Escape"
await TMainForm foreground 1 "the player in front again"
key ctrl+l
await TPlayListForm visible 1 "Ctrl+L again"
key Return
await TPlayListForm visible 0 "Enter"
probe dialog 1 >/dev/null && fail "Enter without a change asked a question"
echo "ok keys"

echo "== Shift+F1: About Quillo, dragged by its logo and its picture, closed by Enter"
key shift+F1
probe wait TAboutForm 10 >/dev/null || fail "Shift+F1 did not open About Quillo"
shown TAboutForm 300 "About Quillo"
sleep 0.5
screenshot "$SHOTS/about-quillo.png"
background_at "$SHOTS/about-quillo.png" TAboutForm 300 12 240
drag TAboutForm 100 40 25 15
await TAboutForm window "$((362 + 25)),$((234 + 15)),300,300" "About Quillo dragged by its logo"
drag TAboutForm 12 240 -25 -15
await TAboutForm window "362,234,300,300" "About Quillo dragged by its picture"
key Return
await TAboutForm visible 0 "Enter"
echo "ok About Quillo"

echo "== Ctrl+F1: About [Ostra] with the same picture, closed by Escape"
key ctrl+F1
probe wait TAboutOstraForm 10 >/dev/null || fail "Ctrl+F1 did not open About [Ostra]"
shown TAboutOstraForm 300 "About [Ostra]"
sleep 0.5
screenshot "$SHOTS/about-ostra.png"
background_at "$SHOTS/about-ostra.png" TAboutOstraForm 300 12 240
key Escape
await TAboutOstraForm visible 0 "Escape"
echo "ok About [Ostra]"

echo "== Ctrl+L during fast forward opens the editor too"
key ctrl+f
key ctrl+l
await TPlayListForm visible 1 "Ctrl+L during fast forward"
key Escape
await TPlayListForm visible 0 "Escape after fast forward's Ctrl+L"
echo "ok fast forward"

stop_quillo
echo "screenshots in $SHOTS"
echo "dialogs: all checks passed"
