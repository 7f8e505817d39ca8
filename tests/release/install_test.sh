#!/usr/bin/env bash
# A setup as a user meets it, in a fresh Wine prefix: an older version installed silently; its
# player, started from Program Files, plays a clip and opens the manual through the shell on F1;
# the new setup, while that player runs, asks to close it and, silent, refuses; the upgrade in
# place; the uninstaller leaving nothing of ours but the settings; and, installed again, the
# program folder deleted by hand, the uninstaller still taking every key and, asked to, the
# settings. The prefix's files and registry are compared with the fresh prefix's.
#   tests/release/install_test.sh BUILD DIST [SETUP WINDOWS HELPERS]
# BUILD: the x86_64 tree, which keeps the prefix; DIST: tools/package's. SETUP (win64 or win32)
# is the setup installed, WINDOWS (win64 or win32) the prefix's Windows, HELPERS the tree whose
# probe and stand-in browser run there; by default the 64-bit setup on 64-bit Windows, with
# BUILD's. The 32-bit setup on 64-bit Windows installs under Program Files (x86), its control
# registered for 32-bit programs, and is named "Quillo (32-bit)" beside a 64-bit Quillo.
set -uo pipefail
BUILD=$(cd "$1" && pwd)
SETUP_ARCH=${3:-win64} WINDOWS=${4:-win64}
HELPERS=$(cd "${5:-$1}" && pwd)
version=$(sed -n 's/^project(Quillo VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
# Without the packages (release_package not run, for want of an i686 tree) there is nothing to
# install: not run, exit code 77.
if [ ! -f "$2/Quillo-$version-$SETUP_ARCH-setup.exe" ] || [ ! -f "$2/Quillo-$version-$SETUP_ARCH.zip" ]; then
  echo "NOT RUN: no Quillo-$version-$SETUP_ARCH-setup.exe and .zip in $2 (release_package writes them)"
  exit 77
fi
DIST=$(cd "$2" && pwd)
SETUP=$DIST/Quillo-$version-$SETUP_ARCH-setup.exe
ZIP=$DIST/Quillo-$version-$SETUP_ARCH.zip
# Where the setup installs, what it is called there, and where the registry keeps what it
# writes: a 32-bit program's own keys on 64-bit Windows are the 32-bit view's (Wow6432Node).
DIR='C:\Program Files\Quillo' NAME=Quillo
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillo'
STORED_KEY=$KEY STORED_CLSID='HKLM\Software\Classes\CLSID'
if [ "$SETUP_ARCH/$WINDOWS" = win32/win64 ]; then
  DIR='C:\Program Files (x86)\Quillo' NAME='Quillo (32-bit)'
  STORED_KEY='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Quillo'
  STORED_CLSID='HKLM\Software\Classes\Wow6432Node\CLSID'
fi
QUILLO="$DIR\\Quillo.exe"

# A prefix of our own, made fresh: nothing installed in it but what this script installs.
name=release
[ "$SETUP_ARCH/$WINDOWS" = win64/win64 ] || name=release-$SETUP_ARCH-on-$WINDOWS
export QUILLO_E2E_PREFIX=$BUILD/wine-$name-1024x768 QUILLO_E2E_ARCH=$WINDOWS
export PROBE=$HELPERS/tests/probe.exe
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
"${WINE_RUN[@]}" --can-run "$SETUP" || exit
# The registry as the setup's programs see it.
[ "$SETUP_ARCH/$WINDOWS" != win32/win64 ] || REG='C:\windows\syswow64\reg.exe'
WORK=$BUILD/$name-install
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

UNIX_DIR="$PREFIX/drive_c/${DIR#C:\\}"
UNIX_DIR=${UNIX_DIR//\\//}
FILES="FFmpeg-LICENSE.txt MinGW-w64-LICENSE.txt Opus-LICENSE.txt Quillo.exe Quillo.html VVPPWEB.OCX"
FILES="$FILES libvpx-LICENSE.txt uninstall.exe vivcopy.exe"
source "$ROOT/tests/release/lib.sh"

folder() { (cd "$UNIX_DIR" 2>/dev/null && ls -A | sort | paste -sd ' '); }

echo "== a fresh prefix whose .html files open in a stand-in browser"
"${WINE_RUN[@]}" reg add 'HKLM\Software\Classes\.html' /ve /d htmlfile /f >/dev/null ||
  fail "cannot write the .html association"
"${WINE_RUN[@]}" reg add 'HKLM\Software\Classes\htmlfile\shell\open\command' /ve /f \
  /d "\"$(winpath "$HELPERS/tests/record_args.exe")\" \"$(winpath "$WORK/browser.txt")\" \"%1\"" >/dev/null ||
  fail "cannot write the .html association"
snapshot fresh

echo "== an older version, installed silently"
mkdir -p "$WORK/older"
unzip -q "$ZIP" -d "$WORK/older"
OLDER_STAGE=$WORK/older/Quillo-$version-$SETUP_ARCH
echo "the older manual" >"$OLDER_STAGE/Quillo.html"
makensis -V1 -WX -DVERSION=0.9.0 -DARCH="$SETUP_ARCH" -DSTAGE="$OLDER_STAGE" \
  -DOUTFILE="$WORK/Quillo-0.9.0-$SETUP_ARCH-setup.exe" "$ROOT/installer/Quillo.nsi" ||
  fail "makensis could not build the older setup"
expect_eq "the older setup's exit code" "$(run "$WORK/Quillo-0.9.0-$SETUP_ARCH-setup.exe" /S)" 0
expect_eq "the older version's entry" "$(reg_value "$KEY" DisplayVersion)" 0.9.0
expect_eq "the older version's folder" "$(folder)" "$FILES"

echo "== the installed player plays a clip"
cp "$ROOT/tests/unit/VivoCorpus/clock.viv" "$WORK/clock.viv"
export VVPPWEB_LOG=$(winpath "$WORK/calls.log")
start_quillo "$(winpath "$WORK/clock.viv")"
for _ in $(seq 50); do grep -qx 'Play' <(tr -d '\r' <"$WORK/calls.log" 2>/dev/null) && break; sleep 0.1; done
expect_eq "the control's commands" \
  "$(tr -d '\r' <"$WORK/calls.log" | grep -vx -e URL -e VideoWidth -e VideoHeight | head -n 3 | paste -sd '|')" \
  "Videocontrols=FALSE|Load(C:\\users\\$(id -un)\\Temp\\~~quillo.viv.tmp)|Play"
# The clip's 176 x 144 picture in the television, once the control has decoded it.
for _ in $(seq 50); do [ "$(probe_value client info TMainForm)" = "205,192" ] && break; sleep 0.1; done
expect_eq "the client for a 176 x 144 clip" "$(probe_value client info TMainForm)" "205,192"
# Its running clock: the picture changes while it plays.
IFS=, read -r left top width height <<<"$(probe_value window info TMainForm)"
shot() { DISPLAY=$("${WINE_RUN[@]}" --display) import -window root -crop "${width}x${height}+$left+$top" "$1"; }
shot "$WORK/playing-1.png"
moved=
for _ in $(seq 20); do
  shot "$WORK/playing-2.png"
  differ=$(compare -metric AE "$WORK/playing-1.png" "$WORK/playing-2.png" null: 2>&1)
  [ "${differ%% *}" != 0 ] && moved=1 && break
  sleep 0.1
done
[ -n "$moved" ] || fail "the picture did not change while the clip played"

echo "== F1 opens the manual beside the installed program, through the shell"
xdo mousemove $((left + width / 2)) $((top + height / 3)) click 1
xdo key F1
for _ in $(seq 100); do [ -s "$WORK/browser.txt" ] && break; sleep 0.1; done
expect_eq "what the browser was given" "$(tr -d '\r' <"$WORK/browser.txt" 2>/dev/null)" "$DIR\\Quillo.html"

echo "== the new setup while the player runs: it asks to close it, and refuses when silent"
"${WINE_RUN[@]}" "$SETUP" >/dev/null 2>&1 &
setup_pid=$!
box=$(probe dialog 30) || fail "the setup asked nothing"
for line in "static=Quillo is running. Close it, then choose Retry to go on." "button=&Retry" "button=Cancel"; do
  grep -qFx -- "$line" <<<"$box" || fail "the question lacks '$line': $(paste -sd '|' <<<"$box")"
done
probe post '#32770' 0x0111 2 0 >/dev/null
wait "$setup_pid"
expect_eq "the setup's exit code after Cancel" "$?" 2
expect_eq "the silent setup's exit code" "$(run "$SETUP" /S)" 2
expect_eq "the entry after the refusals" "$(reg_value "$KEY" DisplayVersion)" 0.9.0
expect_eq "the manual after the refusals" "$(cat "$UNIX_DIR/Quillo.html")" "the older manual"
stop_quillo

echo "== the new version over the older one, in place"
expect_eq "the setup's exit code" "$(run "$SETUP" /S)" 0
expect_eq "the folder" "$(folder)" "$FILES"
mkdir -p "$WORK/new"
unzip -q "$ZIP" -d "$WORK/new"
for file in $FILES; do
  [ "$file" = uninstall.exe ] || cmp -s "$UNIX_DIR/$file" "$WORK/new/Quillo-$version-$SETUP_ARCH/$file" ||
    fail "the installed $file is not the new version's"
done
expect_eq "DisplayName" "$(reg_value "$KEY" DisplayName)" "$NAME"
expect_eq "DisplayVersion" "$(reg_value "$KEY" DisplayVersion)" "$version"
expect_eq "Publisher" "$(reg_value "$KEY" Publisher)" "[Ostra]"
expect_eq "InstallLocation" "$(reg_value "$KEY" InstallLocation)" "$DIR"
expect_eq "UninstallString" "$(reg_value "$KEY" UninstallString)" "\"$DIR\\uninstall.exe\""
expect_eq "QuietUninstallString" "$(reg_value "$KEY" QuietUninstallString)" "\"$DIR\\uninstall.exe\" /S"
kb=$(( $(cat "$UNIX_DIR"/* | wc -c) / 1024 ))
expect_eq "EstimatedSize" "$(( $(reg_value "$KEY" EstimatedSize) ))" "$kb"
expect_eq "the control's server" \
  "$(reg_value 'HKCR\CLSID\{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}\InprocServer32' '')" "$DIR\\VVPPWEB.OCX"
expect_eq "the .viv open command" "$(reg_value 'HKCR\VivoFile\shell\open\command' '')" "$DIR\\Quillo.exe \"%1\""
snapshot installed
# The comparison sees what is ours: every kind of thing the setup made is among the changes.
made=$(changes fresh installed)
for line in "> $DIR\\Quillo.exe" "> C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\$NAME.lnk" \
  "> C:\\users\\Public\\Desktop\\$NAME.lnk" "> C:\\windows\\Quillo.ini" \
  "> $STORED_KEY :: \"DisplayVersion\" = \"$version\"" \
  "> $STORED_CLSID\\{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}\\InprocServer32" \
  "> HKLM\\Software\\Classes\\VVPPWEB.VvPPWebCtrl.1\\CLSID" "> HKLM\\Software\\Classes\\.viv :: @ = \"VivoFile\""; do
  grep -qFx -- "$line" <<<"$made" || fail "the installed prefix lacks '$line'"
done

echo "== uninstalled silently: nothing of ours is left but the settings"
expect_eq "the uninstaller's exit code" "$(run "$DIR\\uninstall.exe" /S)" 0
settle
# It ran from a copy in the temporary folder, which goes at the next restart.
"${WINE_RUN[@]}" wineboot -r >/dev/null 2>&1
snapshot uninstalled
expect_eq "the changes after the uninstall" "$(changes fresh uninstalled)" "> C:\\windows\\Quillo.ini"

echo "== installed again, its folder deleted by hand, then uninstalled with the settings"
expect_eq "the setup's exit code" "$(run "$SETUP" /S)" 0
cp "$UNIX_DIR/uninstall.exe" "$WORK/uninstall.exe"
rm -rf "$UNIX_DIR"
# The uninstaller is told its folder after _?=, which must stand last and unquoted: a batch
# file hands the line over as written.
printf '@"%s" /S /REMOVESETTINGS _?=%s\r\n@exit %%ERRORLEVEL%%\r\n' \
  "$(winpath "$WORK/uninstall.exe")" "$DIR" >"$WORK/uninstall.bat"
expect_eq "the uninstaller's exit code" "$(run cmd /c "$(winpath "$WORK/uninstall.bat")")" 0
snapshot gone
expect_eq "the changes after the uninstall without a folder" "$(changes fresh gone)" ""

echo "PASS: the $SETUP_ARCH setup on $WINDOWS Windows"
