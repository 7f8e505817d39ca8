#!/usr/bin/env bash
# The control's sound through a real wave-out device. Under Wine, with a PulseAudio server of the
# test's own whose null sink is the sound card, the control plays the test clip clock.viv (3 s of
# a 440 Hz tone with an 880 Hz beep over the first 100 ms of every second) while the sink's monitor
# is recorded; it pauses at 1.45 s and plays on once the recording has fallen silent. The
# recording must be the clip's sound: its two tones at their frequencies, each beep where it
# belongs, as long as the clip's own decoded sound within one 50 ms buffer and to its very end,
# with no gap over 20 ms but the pause.
#   tests/win/WaveOutDevice.sh BUILD PROGRAM CLIP     (PROGRAM: wave_out_device.exe)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
program=$2
clip=$3
# A Wine of our own: its server starts here, at our priority.
QUILLO_E2E_PREFIX=$BUILD/wine-sound-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
work=$BUILD/wave-out-device
rm -rf "$work"
mkdir -p "$work"
sound=$work/sound.raw
rate=48000
capture= player=
cleanup() {
  [ -z "$player" ] || { kill "$player"; wait "$player"; } 2>/dev/null
  [ -z "$capture" ] || { kill "$capture"; wait "$capture"; } 2>/dev/null
  stop_pulse
  "${WINE_RUN[@]}" --stop
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# wait_for SECONDS WHAT COMMAND...: until COMMAND succeeds.
wait_for() {
  local seconds=$1 what=$2; shift 2
  for _ in $(seq $((seconds * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "$what"
}
# Succeeds once the recording holds at least MS of sound after byte FROM, and its last MS are
# silent.
silent_tail() {
  python3 - "$sound" "$1" "$2" <<'EOF'
import os, struct, sys
path, start, ms = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
size = os.path.getsize(path) // 2 * 2
want = ms * 48 * 2
if size - start < want:
    sys.exit(1)
with open(path, 'rb') as f:
    f.seek(size - want)
    tail = struct.unpack('<%dh' % (want // 2), f.read(want))
sys.exit(0 if max(map(abs, tail)) < 300 else 1)
EOF
}

command -v pulseaudio >/dev/null || fail "no pulseaudio (tools/setup installs it)"
# Sound is real time: other work on the machine (builds, other tests) must not starve the device
# path, so it runs at a raised priority where we may raise it. Wine's server starts for our own
# prefix first, inheriting it, and its first start's work is over before the recording begins.
renice -n -10 -p $$ >/dev/null 2>&1 || true
"${WINE_RUN[@]}" --stop
"${WINE_RUN[@]}" "$program" >/dev/null 2>&1
start_pulse "$work/pulse" || fail "PulseAudio did not start: $(tail -n 5 "$work/pulse/log" 2>/dev/null)"
parec --raw --format=s16le --rate=$rate --channels=1 --latency-msec=10 -d quillo.monitor >"$sound" &
capture=$!
recorded() { [ "$(stat -c %s "$sound")" -ge "$1" ]; }
wait_for 10 "the recording did not start" recorded 9600

mkfifo "$work/go"
# Wine's PulseAudio driver asks the server to hold only three 10 ms periods, fed by a thread of
# the player's own process: a machine that stalls that process for 30 ms (a busy or shared
# host) puts gaps in what is heard whatever the player queues. A sound card's own buffer, or
# Windows' audio engine, is not in the player's process; asking the server to hold 100 ms plays
# that part, so that a gap in the recording is one of ours.
PULSE_LATENCY_MSEC=100 "${WINE_RUN[@]}" "$program" "$(winpath "$clip")" 1450 <"$work/go" >"$work/program.out" 2>"$work/program.err" &
player=$!
exec 8>"$work/go"
# Until it has paused, or has ended without.
paused_or_gone() { grep -q '^paused=' "$work/program.out" || ! kill -0 "$player" 2>/dev/null; }
wait_for 30 "the control did not pause" paused_or_gone
grep -q '^paused=' "$work/program.out" || fail "the control did not pause: $(cat "$work/program.err")"
paused_at=$(stat -c %s "$sound")
wait_for 10 "the sound went on after the pause" silent_tail "$paused_at" 300
echo go >&8
exec 8>&-
wait "$player" || fail "the program failed: $(cat "$work/program.err")"
player=
grep -q '^ended' "$work/program.out" || fail "the clip did not end"
wait_for 10 "the sound went on after the clip's end" silent_tail "$(stat -c %s "$sound")" 300
kill "$capture"; wait "$capture" 2>/dev/null; capture=

# The clip's own sound, as Debian's ffmpeg decodes it, is the yardstick.
ffmpeg -nostdin -v error -i "$clip" -map 0:a -f s16le -ac 1 -ar $rate -y "$work/clip.raw" ||
  fail "ffmpeg could not decode the clip"
python3 - "$sound" "$work/clip.raw" $rate "$(tr -d '\r' <"$work/program.out" | sed -n 's/^paused=//p')" <<'EOF'
import struct, sys

path, reference_path, rate, paused = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
failures = []

def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what)
    if not ok:
        failures.append(what)

def load(name):
    raw = open(name, 'rb').read()
    return struct.unpack('<%dh' % (len(raw) // 2), raw[:len(raw) // 2 * 2])

def stretches(sound, quiet):
    """The sounding stretches, [first, last] sample above the threshold, split where it stays
    below for more than `quiet` samples."""
    threshold = max(map(abs, sound)) / 10
    found = []
    for i, s in enumerate(sound):
        if abs(s) > threshold:
            if found and i - found[-1][1] <= quiet:
                found[-1][1] = i
            else:
                found.append([i, i])
    return found

def periods(sound):
    """Each period of the sound, from one rising zero crossing to the next (found with some
    hysteresis, placed between samples): where it starts, in samples, and its frequency."""
    threshold = max(map(abs, sound)) / 20
    crossings, low = [], False
    for i, s in enumerate(sound):
        if s < -threshold:
            low = True
        elif s > threshold and low:
            low = False
            j = i
            while sound[j - 1] > 0:
                j -= 1
            a, b = sound[j - 1], sound[j]
            crossings.append(j - 1 + a / (a - b))
    return [(a, rate / (b - a)) for a, b in zip(crossings, crossings[1:])]

def median(values):
    values = sorted(values)
    return values[len(values) // 2] if values else 0

def beeps(found):
    """Where each run of periods above 660 Hz starts, in ms, and how long it lasts; runs shorter
    than 20 ms are a joint's or the codec's, not a beep."""
    runs, previous = [], False
    for at, f in found:
        if f > 660:
            if previous:
                runs[-1][1] = at
            else:
                runs.append([at, at])
        previous = f > 660
    return [(round(a * 1000 / rate), round((b - a) * 1000 / rate)) for a, b in runs if (b - a) * 50 >= rate]

recorded, reference = load(path), load(reference_path)
gap = rate * 20 // 1000
parts = stretches(recorded, gap)
clip = stretches(reference, gap)
check(len(clip) == 1, f'the clip\'s own sound is one stretch (got {len(clip)})')
check(len(parts) == 2, f'the recording is two stretches of sound, before and after the pause, '
      f'with no gap over 20 ms in them (got {len(parts)}: ' +
      ', '.join(f'{(b - a) * 1000 // rate} ms at {a * 1000 // rate} ms' for a, b in parts) + ')')
if len(parts) == 2 and len(clip) == 1:
    heard = sum(b - a for a, b in parts) * 1000 / rate
    length = (clip[0][1] - clip[0][0]) * 1000 / rate
    check(abs(heard - length) <= 50, f'the sound lasts the clip\'s {length:.0f} ms within 50 ms (got {heard:.0f} ms)')
    pause = (parts[1][0] - parts[0][1]) * 1000 / rate
    check(pause >= 300, f'the pause is silent for at least 300 ms (got {pause:.0f} ms)')
    before = (parts[0][1] - parts[0][0]) * 1000 / rate
    check(abs(before - paused) <= 150, f'the sound before the pause lasts about as long as the clock had run, '
          f'{paused} ms (got {before:.0f} ms)')
    # Played on from where it was heard, to the clip's very end: the device plays out its last
    # buffers before it is closed.
    after = (parts[1][1] - parts[1][0]) * 1000 / rate
    check(abs(after - (length - paused)) <= 10, f'the sound after the pause lasts the rest of the clip\'s from '
          f'{paused} ms, {length - paused:.0f} ms, within 10 ms (got {after:.0f} ms)')
    # The two stretches put together, and the clip's own sound, from their first sample.
    joined = recorded[parts[0][0]:parts[0][1] + 1] + recorded[parts[1][0]:parts[1][1] + 1]
    own = reference[clip[0][0]:clip[0][1] + 1]
    heard_periods, own_periods = periods(joined), periods(own)
    for name, low, high in (('tone is', 300, 660), ('beeps are', 660, 1200)):
        heard_hz = median([f for _, f in heard_periods if low < f < high])
        own_hz = median([f for _, f in own_periods if low < f < high])
        check(abs(heard_hz - own_hz) <= own_hz / 100,
              f'the {name} at the clip\'s {own_hz:.1f} Hz within 1% (got {heard_hz:.1f} Hz)')
    heard_beeps, own_beeps = beeps(heard_periods), beeps(own_periods)
    check(len(heard_beeps) == len(own_beeps) == 3,
          f'three beeps, as in the clip (got {len(heard_beeps)}, the clip {len(own_beeps)})')
    for (at, span), (own_at, own_span) in zip(heard_beeps, own_beeps):
        check(abs(at - own_at) <= 50 and abs(span - own_span) <= 20,
              f'the beep at {own_at} ms for {own_span} ms is heard there within 50 ms (got {at} ms for {span} ms)')
sys.exit(1 if failures else 0)
EOF
