#!/usr/bin/env bash
# tools/wine-run passes a Windows program's exit code, stdout and stderr through unchanged
# (a Windows program in text mode ends its lines with CR LF, and so do they here); a prefix it
# cannot make ends it with exit code 125 and Wine's own words, the program not run. The loader
# follows the program's header, whatever its name says, and a program whose loader is missing is
# not run, with exit code 77 and the reason.
set -u
# usage: wine_run_test.sh WINE-RUN BUILD-DIR EXE
run=("$1" --build "$2") exe=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
"${run[@]}" --can-run "$exe" || exit 77

out=$("${run[@]}" "$exe" 7 "two words" 2>/tmp/wine-run-test.$$); rc=$?
err=$(cat /tmp/wine-run-test.$$); rm -f /tmp/wine-run-test.$$
[ "$rc" -eq 7 ] || fail "exit code: expected 7, got $rc"
[ "$out" = $'out:7\r\nout:two words\r' ] || fail "stdout: got '$out'"
[ "$err" = $'err:7\r\nerr:two words\r' ] || fail "stderr: got '$err'"

"${run[@]}" "$exe" 0 >/dev/null 2>&1 || fail "exit code 0 came back as $?"
"${run[@]}" "$exe" 255 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 255 ] || fail "exit code: expected 255, got $rc"
# A prefix of the other architecture, which wineboot refuses.
bad=$(mktemp -d)
trap 'rm -rf "$bad"' EXIT
mkdir "$bad/prefix"
printf 'WINE REGISTRY Version 2\n#arch=win32\n' >"$bad/prefix/system.reg"
out=$("$1" --prefix "$bad/prefix" "$exe" 7 2>"$bad/err"); rc=$?
[ "$rc" -eq 125 ] || fail "a prefix that cannot be made: exit code $rc, expected 125"
[ -z "$out" ] || fail "the program ran in a prefix that could not be made: '$out'"
grep -qF "making the Wine prefix $bad/prefix failed at: wineboot -i (exit code 1)" "$bad/err" ||
  fail "the failing step is not named: $(cat "$bad/err")"
grep -qF "| wine: '$bad/prefix' is a 32-bit installation" "$bad/err" ||
  fail "Wine's message is not shown: $(cat "$bad/err")"
[ ! -e "$bad/prefix/.quillo-ready-2" ] || fail "a prefix that could not be made is marked ready"

# Stand-in loaders that note which of them was started, in the prefix made above; and files that
# are nothing but a PE header of each kind, named for the other kind.
fake=$bad/wine
mkdir "$fake"
for loader in wine wine64; do
  printf '#!/bin/sh\nprintf "%%s\\n" "%s $*" >>"%s"\n' "$loader" "$bad/started" >"$fake/$loader"
  chmod +x "$fake/$loader"
done
pe_header() {  # FILE MAGIC: MZ, the PE signature at 64, machine i386, the optional header's magic
  python3 -c 'import struct, sys
header = b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", 0x14C) + bytes(18)
open(sys.argv[1], "wb").write(header + struct.pack("<H", int(sys.argv[2], 16)) + bytes(200))' "$1" "$2"
}
pe_header "$bad/win64.exe" 10b
pe_header "$bad/win32.exe" 20b
echo "not a program" >"$bad/text.exe"
windows_name=$(printf 'Z:%s' "$bad/win64.exe" | tr / '\\')
# Program, then the loader that must start it.
cases=(
  "$bad/win64.exe" wine
  "$windows_name" wine
  "$bad/win32.exe" wine64
  "$bad/text.exe" wine64
  reg wine64
)
for ((i = 0; i < ${#cases[@]}; i += 2)); do
  rm -f "$bad/started"
  QUILLO_WINE_DIR=$fake "${run[@]}" "${cases[i]}" x >/dev/null 2>&1 || fail "${cases[i]}: exit code $?"
  [ "$(cat "$bad/started" 2>/dev/null)" = "${cases[i+1]} ${cases[i]} x" ] ||
    fail "${cases[i]}: expected ${cases[i+1]} to start it, got '$(cat "$bad/started" 2>/dev/null)'"
done
[ "$("$1" --kind "$bad/win64.exe")|$("$1" --kind "$bad/win32.exe")|$("$1" --kind "$bad/text.exe")" = "PE32|PE32+|" ] ||
  fail "--kind: got $("$1" --kind "$bad/win64.exe")|$("$1" --kind "$bad/win32.exe")|$("$1" --kind "$bad/text.exe")"

# Without the 32-bit loader a 32-bit program is not run, and says why; a 64-bit one still runs.
rm -f "$fake/wine" "$bad/started"
out=$(QUILLO_WINE_DIR=$fake "${run[@]}" "$bad/win64.exe" x 2>&1); rc=$?
[ "$rc" -eq 77 ] || fail "no 32-bit loader: exit code $rc, expected 77"
[ "$out" = "NOT RUN: no 32-bit Wine ($fake/wine) for $bad/win64.exe (tools/setup installs Debian's wine32:i386)" ] ||
  fail "no 32-bit loader: got '$out'"
[ ! -e "$bad/started" ] || fail "no 32-bit loader: $(cat "$bad/started") was started"
QUILLO_WINE_DIR=$fake "$1" --can-run "$bad/win64.exe" >/dev/null; rc=$?
[ "$rc" -eq 77 ] || fail "--can-run without the 32-bit loader: exit code $rc, expected 77"
QUILLO_WINE_DIR=$fake "$1" --can-run "$bad/win32.exe" || fail "--can-run a 64-bit program: exit code $?"
QUILLO_WINE_DIR=$fake "${run[@]}" "$bad/win32.exe" x >/dev/null 2>&1 || fail "a 64-bit program without the 32-bit loader: exit code $?"
# 32-bit Windows runs no 64-bit program.
out=$("${run[@]}" --arch win32 --can-run "$bad/win32.exe" 2>&1); rc=$?
[ "$rc" -eq 126 ] && [ "$out" = "wine-run: $bad/win32.exe is a 64-bit program; the prefix $(cd "$2" && pwd)/wine-1024x768 is 32-bit Windows" ] ||
  fail "a 64-bit program for 32-bit Windows: exit code $rc, '$out'"
echo "wine-run passes exit codes and output through, names the step a prefix failed at, and runs each program with its own loader"
