#!/usr/bin/env bash
# The views of the running player, chosen with their shortcut keys: Original, Double, Compact,
# Presentation, Scaled Full Screen and DirectX mode. Each is checked with the probe and kept as a
# screenshot in BUILD/e2e-views/ for a person to look at.
#   tests/e2e/views_test.sh BUILD      (a Windows build tree with Quillo, probe and makeviv)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
# A Wine and a display of our own: DirectX mode switches that display.
QUILLO_E2E_PREFIX=$BUILD/wine-views-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap stop_quillo EXIT

SHOTS=$BUILD/e2e-views
CLIP=$SHOTS/clip.viv
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
"${WINE_RUN[@]}" "$BUILD/vvppweb/makeviv.exe" "$(winpath "$CLIP")" 176 144 3600000 ||
  fail "makeviv could not write the clip"
# Wine's Direct3D would take the player window for OpenGL in DirectX mode, after which the
# video's child window no longer paints; its GDI renderer switches the display just as well.
"${WINE_RUN[@]}" reg add 'HKCU\Software\Wine\AppDefaults\Quillo.exe\Direct3D' /v renderer \
  /d gdi /f >/dev/null 2>&1 || fail "could not choose Wine's GDI renderer"

# view NAME KEYS SCREEN CLIENT VIDEO: types the keys, waits up to 10 seconds for the screen
# size, the client size and the video's rectangle (x,y,w,h), then takes the screenshot.
view() {
  local name=$1 keys=$2 screen=$3 client=$4 video=$5 got
  [ -z "$keys" ] || xdo key $keys
  for _ in $(seq 50); do
    got="$(probe_value screen screen) $(probe_value client info TMainForm)"
    got="$got $(probe children TMainForm | sed -n 's/^child=VvPPWebView,\([-0-9]*,[-0-9]*,[0-9]*,[0-9]*\),.*/\1/p')"
    [ "$got" = "$screen $client $video" ] && break
    sleep 0.2
  done
  [ "$got" = "$screen $client $video" ] ||
    fail "$name: expected screen, client, video $screen $client $video; got $got"
  sleep 0.5
  screenshot "$SHOTS/$name.png"
  echo "ok $name: screen $screen, client $client, video $video"
}

start_quillo "$(winpath "$CLIP")"
# The keys go to the focused window: a click on the set's frame, away from its menu key.
origin=$(probe_value client_origin info TMainForm)
xdo mousemove $((${origin%,*} + 8)) $((${origin#*,} + 185)) click 1

view original "" 1024x768 205,192 14,19,176,144
view double ctrl+2 1024x768 410,383 27,37,352,288
view compact ctrl+shift+c 1024x768 352,288 0,0,352,288
view double-again ctrl+shift+c 1024x768 410,383 27,37,352,288
view presentation ctrl+shift+p 1024x768 1024,768 336,240,352,288
view presentation-off ctrl+shift+p 1024x768 410,383 27,37,352,288
view scaled-full-screen ctrl+5 1024x768 1024,768 42,0,939,768
view directx ctrl+shift+x 640x480 640,480 26,0,587,480
view directx-off ctrl+shift+x 1024x768 1024,768 42,0,939,768
view original-again ctrl+1 1024x768 205,192 14,19,176,144

# The player still answers and closes normally after all that.
probe post TMainForm 0x0010 0 0 >/dev/null
wait_quillo 30
rc=$?
QUILLO_PID=
[ "$rc" -eq 0 ] || fail "Quillo ended with $rc"
echo "screenshots in $SHOTS"
