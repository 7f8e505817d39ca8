#!/usr/bin/env bash
# The independent check's reference: Debian's ffmpeg decodes test clips to raw pictures (0x00RRGGBB
# pixels, as the control's diagnostics give them, at the sizes the test shows them) and to raw
# 16-bit sound, for win_control_reference to compare the control's own with.
#
#   tests/win/ControlReferenceData.sh OUTPUT_DIR CORPUS_DIR
set -euo pipefail
out=$1
corpus=$2
mkdir -p "$out"
rm -f "$out"/*.bgr0 "$out"/*.pcm

# ffmpeg's own timestamps for Vivo clips are no good (its demuxer misreads FPS), so every
# picture it decodes is written, in order; the test places them by the clip's rate.
pictures() {
  local clip=$1 size=$2
  ffmpeg -nostdin -v error -c:v h263 -i "$corpus/$clip.viv" -map 0:v -fps_mode passthrough \
         -vf "scale=${size/x/:}:flags=bicubic" -f rawvideo -pix_fmt bgr0 -y "$out/$clip-$size.bgr0" 2>/dev/null
}
sound() {
  ffmpeg -nostdin -v quiet -i "$corpus/$1.viv" -map 0:a -f s16le -ac 1 -y "$out/$1.pcm"
}

pictures clock 176x144
pictures clock 352x288
pictures resize 176x144
pictures siren 128x96
for clip in clock resize siren; do sound "$clip"; done
for file in "$out"/*.bgr0 "$out"/*.pcm; do
  [ -s "$file" ] || { echo "ControlReferenceData: ffmpeg wrote nothing to $file" >&2; exit 1; }
done
