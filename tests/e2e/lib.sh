# Shared by the end-to-end scripts and tools/run: start Quillo under Wine, look at it with the
# probe, type at it with xdotool, take screenshots. Source it with BUILD set to a Windows build
# tree, x86_64 or i686. Wine's files, registry and temporary folder are those of that tree's
# prefix. Where this machine's Wine cannot run the tree's programs, the script ends here, not
# run (exit code 77), saying why.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${BUILD:=$ROOT/build/x86_64}"
: "${DESKTOP:=1024x768}"
# A script that must not share its Wine (windows, display, running Quillo) sets
# QUILLO_E2E_PREFIX to a prefix of its own in the build tree, named wine-SOMETHING-WxH; one
# that wants 32-bit Windows there sets QUILLO_E2E_ARCH=win32. QUILLO and PROBE, when set, name
# other programs than the tree's.
PREFIX=${QUILLO_E2E_PREFIX:-$BUILD/wine-$DESKTOP}
WINE_RUN=("$ROOT/tools/wine-run" --build "$BUILD" --desktop "$DESKTOP" --arch "${QUILLO_E2E_ARCH:-win64}"
          --prefix "$PREFIX")
: "${QUILLO:=$BUILD/app/Quillo.exe}"
: "${PROBE:=$BUILD/tests/probe.exe}"
WINE_TEMP=$PREFIX/drive_c/users/$(id -un)/Temp
QUILLO_PID=
"${WINE_RUN[@]}" --can-run "$QUILLO" && "${WINE_RUN[@]}" --can-run "$PROBE" || exit
# reg as the tree's programs see the registry: on 64-bit Windows a 32-bit program has a view of
# its own (its classes' CLSID keys are the 32-bit ones), which the 32-bit reg.exe shares. (Wine's
# 64-bit reg /reg:32 does not: it finds none of the classes the two views share.)
REG=reg
if [ "$("${WINE_RUN[@]}" --kind "$QUILLO")" = PE32 ] && [ "${QUILLO_E2E_ARCH:-win64}" = win64 ]; then
  REG='C:\windows\syswow64\reg.exe'
fi
wine_reg() { "${WINE_RUN[@]}" "$REG" "$@"; }

fail() { echo "FAIL: $*" >&2; stop_quillo; exit 1; }

# The Windows name of a Unix path (Wine's Z: drive).
winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }

probe() { "${WINE_RUN[@]}" "$PROBE" "$@" | tr -d '\r'; }
# One value of a probe report: probe_value KEY probe-args...
probe_value() { local key=$1; shift; probe "$@" | sed -n "s/^$key=//p" | head -n 1; }

# One value of the probe's info on the first window of CLASS: value CLASS KEY.
value() { probe_value "$2" info "$1"; }
# await CLASS KEY EXPECTED WHAT: waits up to AWAIT_SECONDS (10) for a probe value.
await() {
  local got
  for _ in $(seq $((${AWAIT_SECONDS:-10} * 5))); do
    got=$(value "$1" "$2")
    [ "$got" = "$3" ] && return 0
    sleep 0.2
  done
  fail "$4: expected $2=$3, got $got"
}

xdo() { DISPLAY=$("${WINE_RUN[@]}" --display) xdotool "$@"; }
screenshot() { DISPLAY=$("${WINE_RUN[@]}" --display) import -window root "$1"; }

# The settings file of earlier runs, in the Windows folder or the user's application data.
forget_settings() {
  rm -f "$PREFIX/drive_c/windows/Quillo.ini" \
        "$PREFIX/drive_c/users/$(id -un)/AppData/Roaming/Quillo/Quillo.ini"
}

# Starts Quillo with the given arguments in the background and waits for its window. Each start
# begins from the default settings unless QUILLO_KEEP_SETTINGS is set.
start_quillo() {
  [ -n "${QUILLO_KEEP_SETTINGS:-}" ] || forget_settings
  "${WINE_RUN[@]}" "$QUILLO" "$@" &
  QUILLO_PID=$!
  probe wait TMainForm 30 >/dev/null || fail "the player window did not appear"
}

# Waits up to $2 seconds (default 30) for the started Quillo to end; its exit code in $?.
wait_quillo() {
  local seconds=${1:-30} waited=0
  while kill -0 "$QUILLO_PID" 2>/dev/null; do
    [ "$waited" -ge $((seconds * 10)) ] && return 124
    sleep 0.1; waited=$((waited + 1))
  done
  wait "$QUILLO_PID"
}

# Closes the player as the system would (WM_CLOSE) and waits for the process to end.
stop_quillo() {
  [ -n "$QUILLO_PID" ] || return 0
  if kill -0 "$QUILLO_PID" 2>/dev/null; then
    probe post TMainForm 0x0010 0 0 >/dev/null 2>&1
    wait_quillo 30 || kill "$QUILLO_PID" 2>/dev/null
  fi
  QUILLO_PID=
}

# A PulseAudio server of our own, its runtime folder, home and log in DIR, with one null sink
# "quillo" (16-bit mono at 48 kHz) as the default sink, so sound plays in real time with no card.
# Its address goes to PULSE_SERVER, for Wine's PulseAudio driver and pactl/parec; its process id
# to PULSE_PID. Fails when the server does not answer within 10 s, or its sink does not settle.
start_pulse() {
  local dir=$1 latency
  mkdir -p "$dir/home"
  chmod 700 "$dir"
  # No D-Bus and no X for it: nothing of the session it runs in is touched.
  env -u DISPLAY -u XDG_CONFIG_HOME HOME="$dir/home" XDG_RUNTIME_DIR="$dir" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=file:"$dir/log" \
               -L "module-null-sink sink_name=quillo rate=48000 channels=1" \
               -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" &
  PULSE_PID=$!
  export PULSE_SERVER=unix:$dir/native
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && pactl set-default-sink quillo && break
    kill -0 "$PULSE_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  # A null sink nobody asks for a latency renders up to 2 s ahead of the clock, then takes back
  # what a new stream changes: its monitor would be neither whole nor in time. A listener asking
  # for 10 ms, there all along, keeps it rendering as it plays; we go on once it has caught up.
  parec --raw --latency-msec=10 -d quillo.monitor >/dev/null 2>&1 &
  PULSE_KEEPER=$!
  for _ in $(seq 100); do
    latency=$(pactl list sinks 2>/dev/null | sed -n 's/.*Latency: \([0-9]*\) usec.*/\1/p')
    [ -n "$latency" ] && [ "$latency" -lt 50000 ] && return 0
    sleep 0.1
  done
  return 1
}
stop_pulse() {
  [ -n "${PULSE_PID:-}" ] || return 0
  kill "$PULSE_KEEPER" "$PULSE_PID" 2>/dev/null
  wait "$PULSE_KEEPER" "$PULSE_PID" 2>/dev/null
  PULSE_PID= PULSE_KEEPER=
  unset PULSE_SERVER
}
