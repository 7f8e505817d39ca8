#!/usr/bin/env bash
# vivcopy on collections, as a user runs it:
#  1. a folder with a broken file and a copy's name already taken: the good copies written whole
#     beside their clips, the taken name kept, the broken file named with its reason in the
#     summary, exit code 1, nothing else written (not the sub-folder's clip);
#  2. --to mkv --out --recursive --force on a folder and a command file naming one of its clips
#     again and another elsewhere: each clip once, the folders below --out made, the file there
#     replaced, exit code 0;
#  3. for Windows, vivcopy.exe alone, without the video control it copies with: exit code 2, why;
#  4. Ctrl+C while a long clip is written: that clip's copy whole, nothing after it written; twice:
#     that copy given up too; no file of a copy's writing left either time.
#   tests/e2e/vivcopy_test.sh WORK MAKEVIV VIVCOPY [RUNNER...]
# The programs are native, or Windows ones that RUNNER (tools/wine-run --build TREE) runs; they
# are run in WORK.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CORPUS=$ROOT/tests/unit/VivoCorpus
WORK=$1
MAKEVIV=$(realpath "$2")
VIVCOPY=$(realpath "$3")
shift 3
RUNNER=("$@")

fail() { echo "FAIL: $*" >&2; exit 1; }
# Every file below WORK with its MD5, the work's own logs left out.
state() { (cd "$WORK" && find . -type f ! -name '*.log' -exec md5sum {} + | sort -k 2); }
# vivcopy ARGS... in WORK: its output (without Windows' line ends) into run.log, its exit code.
vivcopy() {
  (cd "$WORK" && "${RUNNER[@]}" "$VIVCOPY" "$@" >run.log 2>&1)
  local code=$?
  tr -d '\r' <"$WORK/run.log" >"$WORK/out.log"
  return $code
}
# A copy whole: the codecs, as many pictures as its clip and as long, read to its end.
whole() {  # COPY CLIP CODECS
  local codecs pictures want
  codecs=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$1" | tr '\n' ' ')
  [ "$codecs" = "$3 " ] || fail "$1 holds $codecs, not $3"
  pictures=$(ffprobe -v error -select_streams v -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$1")
  want=$(ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$2")
  [ "$pictures" = "$want" ] || fail "$1 has $pictures pictures, its clip $want"
  ffmpeg -nostdin -v error -xerror -i "$1" -f null - || fail "$1 does not read to its end"
}
no_parts() { ! find "$WORK" -name '*.part' | grep -q .; }
has_line() { grep -qxE -- "$1" "$WORK/out.log" || { cat "$WORK/out.log"; fail "vivcopy $2: no line '$1'"; }; }

rm -rf "$WORK"
mkdir -p "$WORK/clips/more" "$WORK/good/sub" "$WORK/lists" "$WORK/extra" "$WORK/out"

echo "== a folder with a broken file and a name taken"
cp "$CORPUS/clock.viv" "$CORPUS/dropped.viv" "$CORPUS/siren.viv" "$WORK/clips/"
cp "$CORPUS/clock.viv" "$WORK/clips/taken.viv"
cp "$CORPUS/clock.viv" "$WORK/clips/more/deep.viv"
echo "notes for the clips" >"$WORK/clips/notes.viv"
echo "the user's own taken.webm" >"$WORK/clips/taken.webm"
state >"$WORK/before.log"
vivcopy clips
code=$?
cat "$WORK/out.log"
[ "$code" = 1 ] || fail "exit code $code with a clip failed and one skipped, not 1"
[ "$(grep -c '^\[[1-5]/5\] ' "$WORK/out.log")" = 5 ] || fail "not one line for each of the 5 clips"
has_line '\[[1-5]/5\] clips[/\\]taken\.viv -> clips[/\\]taken\.webm: skipped, a file of that name is there '\
'\(--force replaces it\)' "in a folder"
has_line '3 copied, 1 skipped, 1 failed' "in a folder"
has_line 'clips[/\\]notes\.viv: not a Vivo clip' "in a folder"
for name in clock dropped siren; do whole "$WORK/clips/$name.webm" "$WORK/clips/$name.viv" "vp9 opus"; done
no_parts || fail "a file of a copy's writing was left"
state >"$WORK/after.log"
grep -v -e 'clips/clock\.webm$' -e 'clips/dropped\.webm$' -e 'clips/siren\.webm$' "$WORK/after.log" |
  cmp -s - "$WORK/before.log" ||
  { diff "$WORK/before.log" "$WORK/after.log"; fail "files other than the three copies changed"; }

echo "== --to mkv --out --recursive --force, a folder and a command file"
rm -rf "$WORK/clips"
cp "$CORPUS/clock.viv" "$WORK/good/a.viv"
cp "$CORPUS/siren.viv" "$WORK/good/sub/b.viv"
cp "$CORPUS/dropped.viv" "$WORK/extra/c.viv"
printf 'Version: Vivo/2.00\r\nBegin: commands\r\nnext ../good/a.viv\r\nnext ../extra/c.viv\r\n' >"$WORK/lists/list.viv"
echo "an old copy" >"$WORK/out/a.mkv"
state >"$WORK/before.log"
vivcopy --to mkv --out out --recursive --force good lists/list.viv
code=$?
cat "$WORK/out.log"
[ "$code" = 0 ] || fail "exit code $code with every clip copied, not 0"
has_line '3 copied, 0 skipped, 0 failed' "with --out"
whole "$WORK/out/a.mkv" "$WORK/good/a.viv" "h263 flac"
whole "$WORK/out/sub/b.mkv" "$WORK/good/sub/b.viv" "h263 flac"
whole "$WORK/out/c.mkv" "$WORK/extra/c.viv" "h263 flac"
no_parts || fail "a file of a copy's writing was left"
state >"$WORK/after.log"
grep -v -e 'out/a\.mkv$' -e 'out/sub/b\.mkv$' -e 'out/c\.mkv$' "$WORK/after.log" |
  cmp -s - <(grep -v 'out/a\.mkv$' "$WORK/before.log") ||
  { diff "$WORK/before.log" "$WORK/after.log"; fail "files other than the three copies changed"; }

if [ ${#RUNNER[@]} -gt 0 ]; then
  echo "== vivcopy.exe without the video control beside it"
  mkdir "$WORK/alone"
  cp "$VIVCOPY" "$WORK/alone/"
  (cd "$WORK" && "${RUNNER[@]}" "alone/$(basename "$VIVCOPY")" good >run.log 2>&1)
  code=$?
  tr -d '\r' <"$WORK/run.log" >"$WORK/out.log"
  cat "$WORK/out.log"
  [ "$code" = 2 ] || fail "exit code $code without the video control, not 2"
  has_line 'vivcopy: the video control .*[/\\]alone[/\\]VVPPWEB\.OCX cannot be loaded: .*' "without the video control"
fi

# Ctrl+C TIMES times once the long clip's copy is being written, its own file there: SIGINT to
# vivcopy, which Wine hands on to a Windows program as the console's Ctrl+C.
interrupt() {  # TIMES
  rm -rf "$WORK/long"
  mkdir "$WORK/long"
  cp "$CORPUS/clock.viv" "$WORK/long/b.viv"
  cp "$CORPUS/siren.viv" "$WORK/long/c.viv"
  (cd "$WORK/long" && "${RUNNER[@]}" "$MAKEVIV" --fill b.viv 400000 a-long.viv >/dev/null) ||
    fail "makeviv could not write a long clip"
  (cd "$WORK" && exec "${RUNNER[@]}" "$VIVCOPY" long >run.log 2>&1) &
  local pid=$! seen= target
  for _ in $(seq 1200); do
    seen=$(find "$WORK/long" -name '*.part') && [ -n "$seen" ] && break
    sleep 0.05
  done
  [ "$seen" = "$WORK/long/a-long.webm.1.part" ] || fail "the long clip's copy was not seen being written ($seen)"
  # The program itself: the runner's child of that name, else the process started.
  target=$(pgrep -P "$pid" -x "$(basename "$VIVCOPY")") || target=$pid
  kill -INT "$target"
  if [ "$1" = 2 ]; then
    # The second once the first has been taken, as a user presses it again on reading the note.
    for _ in $(seq 600); do grep -q 'Ctrl+C again gives it up)' "$WORK/run.log" && break; sleep 0.05; done
    grep -q 'Ctrl+C again gives it up)' "$WORK/run.log" || fail "no note after the first Ctrl+C"
    kill -INT "$target"
  fi
  wait "$pid"
  code=$?
  tr -d '\r' <"$WORK/run.log" >"$WORK/out.log"
  cat "$WORK/out.log"
  [ "$code" = 1 ] || fail "exit code $code after Ctrl+C, not 1"
  no_parts || fail "a file of a copy's writing was left after Ctrl+C"
  [ ! -e "$WORK/long/b.webm" ] && [ ! -e "$WORK/long/c.webm" ] || fail "clips after Ctrl+C were copied"
}
echo "== Ctrl+C once"
interrupt 1
# The clip's line: its copy, the note of the first Ctrl+C, and how it ended.
long_line='\[1/3\] long[/\\]a-long\.viv -> long[/\\]a-long\.webm: '
long_line+='\(Ctrl\+C: the last copy; Ctrl\+C again gives it up\)'
has_line "$long_line copied" "after Ctrl+C"
has_line '1 copied, 0 skipped, 0 failed; stopped by Ctrl\+C, 2 not copied' "after Ctrl+C"
whole "$WORK/long/a-long.webm" "$WORK/long/a-long.viv" "vp9 opus"
echo "== Ctrl+C twice"
interrupt 2
has_line "$long_line stopped, nothing written" "after Ctrl+C twice"
has_line '0 copied, 0 skipped, 0 failed; stopped by Ctrl\+C, 3 not copied' "after Ctrl+C twice"
[ ! -e "$WORK/long/a-long.webm" ] || fail "the copy given up by a second Ctrl+C was written"
echo "vivcopy: all checks passed"
