#!/usr/bin/env bash
# tools/wine-run passes a Windows program's exit code, stdout and stderr through unchanged
# (a Windows program in text mode ends its lines with CR LF, and so do they here); a prefix it
# cannot make ends it with exit code 125 and Wine's own words, the program not run.
set -u
# usage: wine_run_test.sh WINE-RUN BUILD-DIR EXE
run=("$1" --build "$2") exe=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

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
echo "wine-run passes exit codes and output through, and names the step a prefix failed at"
