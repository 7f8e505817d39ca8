# Shared by the release scripts, sourced after tests/e2e/lib.sh with WORK set to the script's own
# folder: registry values, setups run, and the prefix's state compared before and after.
SERVER=/usr/lib/wine/wineserver64
[ -x "$SERVER" ] || SERVER=/usr/lib/wine/wineserver

expect_eq() { [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"; }
# A registry value's data as reg shows it (REG: the reg.exe whose view is wanted, tests/e2e/lib.sh);
# NAME empty for the key's default value.
reg_value() {
  local which=(/v "$2")
  [ -n "$2" ] || which=(/ve)
  "${WINE_RUN[@]}" "$REG" query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    .*    REG_[A-Z_]*    //p'
}
# Runs a setup or uninstaller and gives its exit code.
run() { "${WINE_RUN[@]}" "$@" >/dev/null 2>&1; echo $?; }
# Waits for every program of the prefix to end (an uninstaller works on in a copy of itself
# after the one started has returned), so Wine has written out its registry.
settle() { WINEPREFIX=$PREFIX timeout 90 "$SERVER" -w || fail "Wine's programs did not end"; }
# The prefix's registry and files as lines, less what Wine itself renews at every start: its
# enumeration of devices (display adapters, monitors, input devices), whose entries change with
# the X display it runs on.
snapshot() {
  settle
  python3 "$ROOT/tests/release/wine_state.py" "$PREFIX" |
    grep -v -F -e 'HKLM\System\CurrentControlSet\Control\Class\' \
      -e 'HKLM\System\CurrentControlSet\Control\DeviceClasses\' \
      -e 'HKLM\System\CurrentControlSet\Control\Video\' \
      -e 'HKLM\System\CurrentControlSet\Enum\' >"$WORK/$1.state"
}
# The lines added (>) and taken away (<) from snapshot $1 to snapshot $2.
changes() { diff "$WORK/$1.state" "$WORK/$2.state" | grep '^[<>]'; }
