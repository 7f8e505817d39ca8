#!/usr/bin/env bash
# tools/package on the built trees: the four files named by the version, checked by content
# (check_release.py); the README naming this version's files; and packages refused, with the
# reason and nothing written, when an input is missing or a tree holds the other target's
# programs.
#   tests/release/package_test.sh X86_64_TREE I686_TREE DIST
# The two trees may live anywhere; tools/package is given a build root of links to them. Without
# a built 32-bit tree the test is not run (exit code 77), saying why.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
DIST=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
not_run() { echo "NOT RUN: $*"; exit 77; }
# Packages of an earlier run must not reach release_install when this one makes none.
rm -rf "$DIST"
[ -f "$2/CMakeCache.txt" ] ||
  not_run "no i686 build tree at $2 (configure one there, or set QUILLO_I686_BUILD_DIR in this tree's CMake cache)"
[ -s "$2/app/Quillo.exe" ] && [ -s "$2/app/VVPPWEB.OCX" ] ||
  not_run "the i686 tree $2 is not built (cmake --build $2)"
declare -A TREE=([x86_64]=$(cd "$1" && pwd) [i686]=$(cd "$2" && pwd))
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
BUILD=$SCRATCH/trees
mkdir "$BUILD"
for tree in i686 x86_64; do ln -s "${TREE[$tree]}" "$BUILD/$tree"; done

version=$(sed -n 's/^project(Quillo VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$ROOT/CMakeLists.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"

echo "== tools/package $version"
"$ROOT/tools/package" --no-build --build "$BUILD" --dist "$DIST" || fail "tools/package failed"
made=$(cd "$DIST" && ls -A | sort | paste -sd ' ')
expected="Quillo-$version-win32-setup.exe Quillo-$version-win32.zip Quillo-$version-win64-setup.exe Quillo-$version-win64.zip"
[ "$made" = "$expected" ] || fail "dist holds '$made', expected '$expected'"
python3 "$ROOT/tests/release/check_release.py" "$DIST" "$version" || fail "the packages' content"

echo "== the README names this version's downloads"
for file in $expected; do
  grep -qF "$file" "$ROOT/README.md" || fail "README.md does not name $file"
done

# A build root of links to the real trees' files, with one thing changed.
fake_root() {
  local fake=$SCRATCH/$1 tree file
  for tree in i686 x86_64; do
    mkdir -p "$fake/$tree/app"
    ln -s "$BUILD/$tree/CMakeCache.txt" "$fake/$tree/CMakeCache.txt"
    for file in "$BUILD/$tree/app/"*; do ln -s "$file" "$fake/$tree/app/"; done
  done
  echo "$fake"
}
# refused WHAT MESSAGE BUILD_ROOT: tools/package ends with an error naming MESSAGE and leaves
# the dist folder, which holds an older download, as it was.
refused() {
  local out=$SCRATCH/dist-$RANDOM status
  mkdir -p "$out"
  echo "older" >"$out/Quillo-$version-win32.zip"
  "$ROOT/tools/package" --no-build --build "$3" --dist "$out" >"$SCRATCH/out" 2>&1
  status=$?
  [ "$status" -ne 0 ] || fail "$1: tools/package succeeded"
  grep -qF -- "$2" "$SCRATCH/out" || fail "$1: the message lacks '$2': $(cat "$SCRATCH/out")"
  [ "$(ls -A "$out")" = "Quillo-$version-win32.zip" ] || fail "$1: dist holds $(ls -A "$out" | paste -sd ' ')"
  [ "$(cat "$out/Quillo-$version-win32.zip")" = older ] || fail "$1: the older download was changed"
}

echo "== a missing input: refused, nothing written"
fake=$(fake_root missing)
rm "$fake/i686/app/VVPPWEB.OCX"
refused "no 32-bit OCX" "missing $fake/i686/app/VVPPWEB.OCX" "$fake"
fake=$(fake_root empty)
rm "$fake/x86_64/app/Quillo.html"
: >"$fake/x86_64/app/Quillo.html"
refused "an empty manual" "missing $fake/x86_64/app/Quillo.html" "$fake"

echo "== the trees' programs swapped: refused"
fake=$(fake_root swapped)
ln -sf "$BUILD/x86_64/app/Quillo.exe" "$fake/i686/app/Quillo.exe"
refused "a 64-bit player in the 32-bit tree" "$fake/i686/app/Quillo.exe is not a win32 program" "$fake"

echo "== a tree of another version: refused"
fake=$(fake_root stale)
rm "$fake/x86_64/CMakeCache.txt"
sed 's/^CMAKE_PROJECT_VERSION:\([A-Z]*\)=.*/CMAKE_PROJECT_VERSION:\1=0.0.1/' \
  "$BUILD/x86_64/CMakeCache.txt" >"$fake/x86_64/CMakeCache.txt"
refused "a stale tree" "configured for version '0.0.1'" "$fake"

echo "PASS"
