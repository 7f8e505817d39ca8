#!/usr/bin/env bash
# Save As with real keys at the running player (Ctrl+Shift+S, a name, Enter): a Matroska, an
# MPEG-4 and a WebM copy of a Vivo 1 and a Vivo 2 (Siren) clip, each read back with Debian's
# ffprobe and ffmpeg: the clip's length and 15 pictures a second, the Matroska pictures the clip's
# own bytes, the MPEG-4 and WebM pictures at least 38 dB from the clip's, the WebM copy no larger
# than the MPEG-4 one, the sound as long and as loud. Then a save into a missing folder: nothing
# written, the reason in a box.
#   tests/e2e/saveas_test.sh BUILD [CLIP.viv ...]   (a Windows build tree with Quillo and probe;
#                                                    the clips default to a 20 s clip of the
#                                                    native makeviv and the test corpus's Siren one)
set -uo pipefail
BUILD=$(cd "$1" && pwd)
shift
# A Wine and a display of our own, so no other test's windows take our keys.
QUILLO_E2E_PREFIX=$BUILD/wine-saveas-1024x768
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap stop_quillo EXIT

DATA=$BUILD/e2e-saveas
rm -rf "$DATA"
mkdir -p "$DATA/source"
clips=("$@")
if [ ${#clips[@]} -eq 0 ]; then
  # The native build codes clips; the Windows makeviv writes headers only.
  NATIVE=$(dirname "$BUILD")/native
  if [ ! -x "$NATIVE/vvppweb/makeviv" ]; then
    cmake -S "$ROOT" -B "$NATIVE" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
      cmake --build "$NATIVE" --target makeviv >/dev/null || fail "the native makeviv could not be built"
  fi
  "$NATIVE/vvppweb/makeviv" "$DATA/source/clock20.viv" 176 144 20000 15 || fail "makeviv could not write clock20.viv"
  clips=("$DATA/source/clock20.viv" "$ROOT/tests/unit/VivoCorpus/siren.viv")
fi

# wait_for SECONDS WHAT COMMAND...: until the command succeeds.
wait_for() {
  local seconds=$1 what=$2; shift 2
  for _ in $(seq $((seconds * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "$what"
}
# No file of a copy's writing (COPY.N.part) is left beside it.
left_nothing() { ! compgen -G "$1*.part" >/dev/null; }
# One value of ffprobe's for a file: stream (v or a) or format values.
stream() { ffprobe -v error -select_streams "$2" -show_entries "stream=$3" -of default=nw=1:nk=1 "$1" | head -n 1; }
duration() { ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$1"; }
# The MD5 of every picture packet, in order: the coded pictures themselves.
picture_hashes() { ffprobe -v error -select_streams v -show_entries packet=data_hash -show_data_hash MD5 -of csv=p=0 "$1"; }
# Every picture decoded, in order, as raw YUV.
pictures() { ffmpeg -nostdin -v error "${@:3}" -i "$1" -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt yuv420p -y "$2"; }
# The sound decoded, 16-bit mono at its own rate (or at RATE: sound IN OUT [RATE]), and its mean
# loudness in dB.
sound() { ffmpeg -nostdin -v fatal -i "$1" -map 0:a -f s16le -ac 1 ${3:+-ar "$3"} -y "$2"; }
loudness() {
  ffmpeg -nostdin -v info -f s16le -ar "$2" -ac 1 -i "$1" -af volumedetect -f null - 2>&1 |
    sed -n 's/.*mean_volume: \([-0-9.]*\) dB/\1/p'
}
# The least and the mean PSNR (Y, U and V together) of each picture of two raw YUV files.
psnr() {
  ffmpeg -nostdin -v error -f rawvideo -s "$3" -pix_fmt yuv420p -framerate 15 -i "$1" \
         -f rawvideo -s "$3" -pix_fmt yuv420p -framerate 15 -i "$2" -lavfi "psnr=stats_file=$4" -f null - &&
    awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, v, ":"); x = v[2] == "inf" ? 99 : v[2];
           if (n == 0 || x < low) low = x; sum += x; n++ } }
         END { printf "%d %.2f %.2f\n", n, low, sum / n }' "$4"
}
# a <= b within tolerance: within A B TOLERANCE
within() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }

no_dialog() { ! probe dialog 0.1; }

save_as() {  # NAME: Ctrl+Shift+S, the name typed, Enter
  xdo key ctrl+shift+s
  [ "$(probe_value title dialog 10)" = "Save a Copy of the Clip" ] || fail "Ctrl+Shift+S did not open the save dialog"
  xdo type --delay 15 "$1"
  xdo key Return
}

for clip in "${clips[@]}"; do
  name=$(basename "$clip" .viv)
  cp "$clip" "$DATA/$name.viv"
  start_quillo "$(winpath "$DATA/$name.viv")"
  await TMainForm visible 1 "start with $name.viv"
  # The keys go to the focused window: a click in the middle of the video gives it the focus.
  origin=$(value TMainForm client_origin)
  client=$(value TMainForm client)
  xdo mousemove $((${origin%,*} + ${client%,*} / 2)) $((${origin#*,} + ${client#*,} / 2)) click 1
  await TMainForm foreground 1 "the player in front"

  length_ms=$(grep -a -o 'Duration:[0-9]*' "$DATA/$name.viv" | head -n 1 | cut -d: -f2)
  count=$(ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$DATA/$name.viv")
  size=$(grep -a -o 'Width:[0-9]*' "$DATA/$name.viv" | head -n 1 | cut -d: -f2)x$(grep -a -o 'Height:[0-9]*' "$DATA/$name.viv" | head -n 1 | cut -d: -f2)
  pictures "$DATA/$name.viv" "$DATA/$name.yuv" -c:v h263
  sound "$DATA/$name.viv" "$DATA/$name.pcm"
  rate=$(stream "$DATA/$name.viv" a sample_rate)
  own_samples=$(($(stat -c %s "$DATA/$name.pcm") / 2))
  own_loudness=$(loudness "$DATA/$name.pcm" "$rate")
  echo "== $name.viv: $length_ms ms, $count pictures of $size, sound $own_samples samples at $rate Hz, $own_loudness dB"

  for type in mkv mp4 webm; do
    copy=$DATA/$name.$type
    save_as "$(winpath "$copy")"
    wait_for 60 "no $name.$type was written" test -s "$copy"
    wait_for 10 "a file of $name.$type's writing stayed behind" left_nothing "$copy"
    got_length=$(duration "$copy")
    rate_v=$(stream "$copy" v r_frame_rate)
    avg_v=$(stream "$copy" v avg_frame_rate)
    got_count=$(ffprobe -v error -select_streams v -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$copy")
    echo "$name.$type: $(stat -c %s "$copy") bytes, $(stream "$copy" v codec_name) $rate_v ($avg_v) pictures a second," \
         "$got_count pictures, $(stream "$copy" a codec_name) at $(stream "$copy" a sample_rate) Hz, $got_length s"
    within "$got_length" "$(awk -v l="$length_ms" 'BEGIN { print l / 1000 }')" "$(awk 'BEGIN { print 1 / 15 }')" ||
      fail "$name.$type lasts $got_length s, not the clip's $length_ms ms"
    [ "$rate_v" = "15/1" ] && [ "$avg_v" = "15/1" ] || fail "$name.$type has $rate_v ($avg_v) pictures a second, not 15"
    [ "$got_count" = "$count" ] || fail "$name.$type has $got_count pictures, not $count"
    # Opus is read back at its own 48 kHz, whatever rate it was coded at.
    heard_rate=$rate
    [ "$type" = webm ] && heard_rate=48000
    [ "$(stream "$copy" a sample_rate)" = "$heard_rate" ] || fail "$name.$type's sound is not at $heard_rate Hz"
    case $type in
      mkv) codecs="h263 flac" ;;
      mp4) codecs="mpeg4 aac" ;;
      webm) codecs="vp9 opus" ;;
    esac
    [ "$(stream "$copy" v codec_name) $(stream "$copy" a codec_name)" = "$codecs" ] ||
      fail "$name.$type holds $(stream "$copy" v codec_name) and $(stream "$copy" a codec_name), not $codecs"
    if [ "$type" = mkv ]; then
      picture_hashes "$DATA/$name.viv" >"$DATA/$name.viv.md5"
      picture_hashes "$copy" >"$copy.md5"
      cmp -s "$DATA/$name.viv.md5" "$copy.md5" || fail "$name.mkv's pictures are not the clip's own bytes"
      echo "$name.mkv: its $count pictures are the clip's H.263 bytes (MD5 of each packet the same)"
    else
      pictures "$copy" "$copy.yuv"
      read -r compared lowest mean <<<"$(psnr "$DATA/$name.yuv" "$copy.yuv" "$size" "$copy.psnr")"
      echo "$name.$type: $compared pictures against the clip's, PSNR at least $lowest dB, mean $mean dB"
      [ "$compared" = "$count" ] || fail "$name.$type: $compared pictures compared, not $count"
      awk -v l="$lowest" 'BEGIN { exit !(l >= 38) }' || fail "$name.$type: a picture at $lowest dB, below 38"
    fi
    if [ "$type" = webm ]; then
      [ "$(stat -c %s "$copy")" -le "$(stat -c %s "$DATA/$name.mp4")" ] ||
        fail "$name.webm has $(stat -c %s "$copy") bytes, more than $name.mp4's $(stat -c %s "$DATA/$name.mp4")"
      # Read back at the clip's rate, every sample there: its reader drops the coder's padding.
      sound "$copy" "$copy.pcm" "$rate"
      stated=$(($(stat -c %s "$copy.pcm") / 2))
      samples=$stated
    else
      sound "$copy" "$copy.pcm"
      samples=$(($(stat -c %s "$copy.pcm") / 2))
      # The sound's length as the file states it (an AAC coder pads its last frame).
      stated=$(ffprobe -v error -select_streams a -show_entries stream=duration_ts -of csv=p=0 "$copy")
      [ "$stated" = N/A ] && stated=$samples
    fi
    head -c $((own_samples * 2)) "$copy.pcm" >"$copy.heard.pcm"
    got_loudness=$(loudness "$copy.heard.pcm" "$rate")
    echo "$name.$type: sound $stated samples ($samples decoded), $got_loudness dB"
    [ "$stated" = "$own_samples" ] || fail "$name.$type's sound has $stated samples, not $own_samples"
    # A speech coder keeps the loudness less closely than AAC: within 1.5 dB (the Siren clip's
    # near-silent noise included).
    tolerance=0.5
    [ "$type" = webm ] && tolerance=1.5
    within "$got_loudness" "$own_loudness" "$tolerance" ||
      fail "$name.$type's sound is $got_loudness dB, not $own_loudness"
  done

  if [ "$clip" = "${clips[0]}" ]; then
    echo "== a missing folder"
    save_as "$(winpath "$DATA/gone/$name.mkv")"
    box=$(probe dialog 10)
    grep -qx "title=Save As" <<<"$box" || fail "no box after saving into a missing folder: $box"
    grep -qF "static=The clip could not be saved as $(winpath "$DATA/gone/$name.mkv"):\\r\\n" <<<"$box" ||
      fail "the box does not say why: $box"
    sed -n 's/^static=//p' <<<"$box"
    xdo key Return
    wait_for 10 "the box did not close" no_dialog
    [ ! -e "$DATA/gone" ] || fail "the missing folder has something in it now"
  fi
  stop_quillo
done
echo "saveas: all checks passed"
