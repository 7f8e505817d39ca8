#!/usr/bin/env bash
# tools/wine-run passes a Windows program's exit code, stdout and stderr through unchanged
# (a Windows program in text mode ends its lines with CR LF, and so do they here).
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
echo "wine-run passes exit codes and output through"
