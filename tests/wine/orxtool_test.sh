#!/usr/bin/env bash
# orxtool.exe end to end under Wine: one journey per command family through the real
# orxlink.dll into the emulated driver, the driver stopped, and the generator's output
# through rngtest and ent when they are installed. The rules of each command (messages, exit
# codes, JSON members) are pinned by the native suite tests/host/orxtool.
#
#   orxtool_test.sh ORXTOOL_EXE ORVEXA_CTL_EXE
#
# Needs WINEPREFIX with a running Wine server and the "orvexa" service started
# (scripts/wine-session.sh). Leaves the driver running and reset.
set -uo pipefail
tool=$1
ctl_exe=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
failed=0
driver_stopped=0

cleanup() {
    if [ "$driver_stopped" = 1 ]; then
        "$root/testbed/wine/driver-service.sh" start >/dev/null 2>&1 || true
    fi
    wine "$ctl_exe" reset >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

winpath() { printf 'Z:%s' "${1//\//\\}"; }

# run ARGS...: stdout in $work/out, stderr in $work/err, exit code in $rc.
run() { wine "$tool" "$@" >"$work/out" 2>"$work/err"; rc=$?; }

ctl() { wine "$ctl_exe" "$@" >"$work/ctl" 2>&1 || { echo "orvexa_ctl $* failed: $(cat "$work/ctl")"; exit 1; }; }

fail() {
    echo "FAIL: $*"
    echo "  stdout: $(head -c 800 "$work/out" | tr -d '\r')"
    echo "  stderr: $(head -c 800 "$work/err" | tr -d '\r')"
    failed=$((failed + 1))
}

# check CODE WHAT [PYTHON-EXPRESSION]: the exit code, and the expression over the JSON
# document `d` on stdout (`err` is stderr).
check() {
    [ "$rc" -eq "$1" ] || fail "$2: exit code $rc, expected $1"
    [ -z "${3:-}" ] && return
    python3 - "$work/out" "$work/err" "$3" <<'EOF_PY' || fail "$2: $3"
import json, sys
try:
    d = json.load(open(sys.argv[1]))
except ValueError as e:
    print("  not JSON:", e)
    sys.exit(1)
err = open(sys.argv[2]).read()
sys.exit(0 if eval(sys.argv[3]) else 1)
EOF_PY
}

# ent_agrees FILE: ent's chi-square of the saved sample equals the first attempt's.
ent_agrees() {
    command -v ent >/dev/null || return 0
    local chi
    chi=$(ent "$1" | sed -n 's/.*samples is \([0-9.]*\),.*/\1/p')
    check "$rc" "ent's chi-square $chi" "abs(d['chi_square']['attempts'][0] - float('${chi:-nan}')) < 0.0051"
}

echo "== info and seed from an empty generator"
ctl reset reset-counters
run info --json
check 0 "info" "d['library_version'] == '1.6' and not d['record']['generator_ready'] and \
d['record']['operational'] and d['record']['block_length'] == 512 and len(d['record']['words']) == 20"
run random 64 --hex
check 3 "random before seeding"
wine "$ctl_exe" counters >"$work/ctl" 2>&1
tr -d '\r' <"$work/ctl" | grep -qx 'function 1 0' || fail "random before seeding read a block"
run seed
check 0 "seed"
grep -q "need (0, 0): the generator is ready and tested" "$work/out" || fail "seed: not ready"

echo "== slots and reset"
ctl load-key 0 1111111111 222222222222 load-key 9 3333333333 444444444444
run slots --json
check 0 "slots" "d['loaded'] == 2 and d['slots'][9] == \
{'slot': 9, 'sign_key': '444444444444', 'crypt_key': '3333333333'}"
# The driver refuses slot 5 with system error 53; the other slots are emptied.
ctl fault netpath reset 0 5
run reset all --json
check 3 "reset all with slot 5 refused" "d['reset'] == [s for s in range(16) if s != 5] and \
d['refused'] == [{'slot': 5, 'status': {'code': 53, 'name': ''}}]"
run slots --json
check 0 "slots after reset all" "d['loaded'] == 0"

echo "== random"
run random 1000
check 0 "random to stdout"
[ "$(stat -c %s "$work/out")" = 1000 ] || fail "random 1000 wrote $(stat -c %s "$work/out") bytes"
run random 16 --out "$(winpath "$work/no/such/dir/r.bin")"
check 1 "random --out into a missing folder"
echo "keep" >"$work/keep.bin"
ctl clear-faults fault fail block
run random 2000 --out "$(winpath "$work/keep.bin")" --json
check 3 "random with a failing block read" "d['status']['code'] == 1"
[ "$(cat "$work/keep.bin")" = keep ] || fail "random with a failing block read touched its file"
ctl clear-faults
run random 1048576 --out "$(winpath "$work/mib.bin")"
check 0 "random 1 MiB"
# A healthy source fails about one 20,000-bit block in a thousand: allow three of 419.
if command -v rngtest >/dev/null; then
    rng=$(rngtest <"$work/mib.bin" 2>&1 | grep -o 'FIPS 140-2 [a-z]*: [0-9]*' | grep -o '[0-9]*$' | tr '\n' ' ')
    echo "rngtest: FIPS 140-2 successes and failures: $rng"
    read -r successes failures <<<"$rng"
    [ "${successes:-0}" -ge 416 ] && [ "${failures:-9}" -le 3 ] || fail "random 1 MiB through rngtest"
fi

echo "== selftest"
run selftest --json --save "$(winpath "$work/sample.bin")"
[ "$rc" -eq 5 ] && run selftest --json --save "$(winpath "$work/sample.bin")" # a rare miss
# A fair sample misses the bounds now and then: the test then draws again, up to five times.
check 0 "selftest" "d['pass'] and [205.33 <= x <= 310.57 for x in d['chi_square']['attempts']] \
== [False] * (len(d['chi_square']['attempts']) - 1) + [True]"
[ "$(stat -c %s "$work/sample.bin" 2>/dev/null)" = 25600 ] || fail "selftest --save size"
ent_agrees "$work/sample.bin"
# A generator that only yields 128 values: the library's test fails all five samples.
ctl bias half
run selftest --json --save "$(winpath "$work/biased.bin")"
check 5 "selftest of a biased generator" "len(d['chi_square']['attempts']) == 5 and \
all(x > 310.57 for x in d['chi_square']['attempts'])"
ent_agrees "$work/biased.bin"

echo "== the library's own refusals while seeding"
ctl reset fault status key-set 9
run seed
check 3 "seed with a refused 32-byte seed"
grep -q "status 9 ERROR_SET_KEY_INPUT_CHECK" "$work/err" || fail "seed: status 9 named"
ctl reset bias half
run seed
check 3 "seed of a biased generator"
grep -q "failed the library's self-test" "$work/err" || fail "seed of a biased generator"
ctl reset

echo "== driver absent"
driver_stopped=1
"$root/testbed/wine/driver-service.sh" stop
run info --json
check 2 "info without the driver" "d['driver'] is False and \
d['status'] == {'code': 51, 'name': 'DRIVER_OPEN_ERROR'}"
run random 10 --hex
check 2 "random without the driver"
"$root/testbed/wine/driver-service.sh" start
driver_stopped=0

[ "$failed" -eq 0 ] || { echo "$failed check(s) failed"; exit 1; }
echo "all orxtool checks passed"
