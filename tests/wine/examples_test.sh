#!/usr/bin/env bash
# The SDK's example clients under Wine against the emulated driver: what each prints and
# its exit code, on a healthy driver and on one failure each.
#
#   examples_test.sh BIN_DIR ORVEXA_CTL_EXE
#
# Needs WINEPREFIX with a running Wine server and the "orvexa" service started
# (scripts/wine-session.sh). Leaves the driver reset.
set -uo pipefail
bin=$1
ctl_exe=$2
work=$(mktemp -d)
failed=0
trap 'wine "$ctl_exe" reset >/dev/null 2>&1; rm -rf "$work"' EXIT

ctl() {
  wine "$ctl_exe" "$@" >"$work/ctl" 2>&1 || { echo "orvexa_ctl $* failed: $(cat "$work/ctl")"; exit 1; }
}

# run EXAMPLE ARGS...: standard output in $out, standard error in $err, exit code in $rc.
run() {
  local name=$1
  shift
  wine "$bin/$name.exe" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}

fail() {
  echo "FAIL: $*"
  echo "  stdout: ${out:0:600}"
  echo "  stderr: ${err:0:600}"
  failed=$((failed + 1))
}

# expect WHAT RC PATTERN...: the exit code, and each extended regular expression matching a
# line of stdout + stderr.
expect() {
  local what=$1 want=$2 pattern
  shift 2
  [ "$rc" -eq "$want" ] || fail "$what: exit code $rc, expected $want"
  for pattern in "$@"; do
    grep -Eq -- "$pattern" <<<"$out"$'\n'"$err" || fail "$what: no line matches '$pattern'"
  done
}

hex_line() { grep -Ex "[0-9a-f]{$1}" <<<"$out"; }

# print_info: the record as the driver holds it; a driver that fails the query.
ctl reset units 8
run print_info
expect "print_info" 0 '^orxlink version: 1\.6$' '^block length: 64 bytes$' '^generator ready: no$' \
  '^word  5: 0x00000008$' '^last status: 0 \(no name\)$'
ctl reset fault fail info
run print_info
expect "print_info, query fails" 1 '^the driver did not answer$' '^last status: 1 ORX_DRIVER_ERROR$'

# seed_and_draw: an empty generator is seeded until it needs nothing; a ready one at once; a
# biased one fails its self-test and the status says so.
ctl reset
run seed_and_draw 32
expect "seed_and_draw, empty generator" 0 '^seed need \(1, 40\)$' '^seed need \(0, 0\)$'
hex_line 64 >/dev/null || fail "seed_and_draw: no line of 32 bytes in hex"
[ "$(grep -c '^seed need' <<<"$out")" -le 4 ] || fail "seed_and_draw: more rounds than needed"
run seed_and_draw 1000
expect "seed_and_draw, ready generator" 0 '^seed need \(0, 0\)$'
[ "$(grep -c '^seed need' <<<"$out")" -eq 1 ] || fail "seed_and_draw: a ready generator was seeded"
hex_line 2000 >/dev/null || fail "seed_and_draw: no line of 1000 bytes in hex"
ctl reset bias half
run seed_and_draw
expect "seed_and_draw, biased generator" 1 '^put_seed answered 3; last status 1 ORX_DRIVER_ERROR$'
run seed_and_draw 4097
expect "seed_and_draw, too many bytes" 2 '^usage'

# read_item: the item depends on the slot, so the first slot that carries the number is
# the one read, by its 10- and by its 12-character number.
num=0123456789
nump=987654321098
ctl reset load-key 4 "$num" "$nump"
run read_item "$num"
expect "read_item, crypt key number" 0
item4=$(hex_line 64) || fail "read_item: no item of 32 bytes in hex"
run read_item "$nump"
expect "read_item, sign key number" 0
[ "$(hex_line 64)" = "$item4" ] || fail "read_item: the two numbers read different items"
ctl reset load-key 11 "$num" "$nump"
run read_item "$num"
item11=$(hex_line 64)
[ -n "$item11" ] && [ "$item11" != "$item4" ] || fail "read_item: slot 11 read as slot 4"
ctl load-key 4 "$num" "$nump"
run read_item "$num"
[ "$(hex_line 64)" = "$item4" ] || fail "read_item: not the first slot carrying the number"

# rc table: arguments, code and number that the library refuses or does not find.
while read -r want args; do
  # shellcheck disable=SC2086
  run read_item $args
  expect "read_item $args" "$want"
done <<EOF2
1 1111111111
2 12345
2 $num 9
0 $num 13
2
EOF2

[ "$failed" -eq 0 ] && echo "examples: all checks passed"
exit "$failed"
