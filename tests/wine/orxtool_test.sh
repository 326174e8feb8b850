#!/usr/bin/env bash
# orxtool.exe end to end under Wine against the emulated driver: every command in text and
# with --json (each document parsed back), bad arguments, injected faults, the driver
# stopped, and the generator's output through rngtest and ent.
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
run() {
    wine "$tool" "$@" >"$work/out" 2>"$work/err"
    rc=$?
}

ctl() {
    if ! wine "$ctl_exe" "$@" >"$work/ctl" 2>&1; then
        echo "orvexa_ctl $* failed: $(cat "$work/ctl")"
        exit 1
    fi
}

fail() {
    echo "FAIL: $*"
    echo "  stdout: $(head -c 800 "$work/out" | tr -d '\r')"
    echo "  stderr: $(head -c 800 "$work/err" | tr -d '\r')"
    failed=$((failed + 1))
}

expect_rc() { [ "$rc" -eq "$1" ] || fail "$2: exit code $rc, expected $1"; }

# jcheck EXPRESSION WHAT: a Python expression over the JSON document `d` on stdout.
jcheck() {
    python3 - "$work/out" "$1" <<'EOF' || fail "$2: $1"
import json, os, sys
try:
    d = json.load(open(sys.argv[1]))
except ValueError as e:
    print("  not JSON:", e)
    sys.exit(1)
sys.exit(0 if eval(sys.argv[2], {"d": d, "env": os.environ}) else 1)
EOF
}

out_has() { tr -d '\r' <"$work/out" | grep -q -- "$1" || fail "$2: stdout lacks '$1'"; }
err_has() { tr -d '\r' <"$work/err" | grep -q -- "$1" || fail "$2: stderr lacks '$1'"; }
out_empty() { [ ! -s "$work/out" ] || fail "$1: stdout not empty"; }

# A failure in text and in --json: the exit code, the message on stderr, an empty stdout in
# text mode, and a document with ok false, the exit code and the status code ("-": not
# checked). SETUP, when not "-", is a list of orvexa_ctl commands run before each of the two.
# expect_failure CODE STATUS MESSAGE-PART WHAT SETUP ARGS...
expect_failure() {
    local code=$1 status=$2 message=$3 what=$4 setup=$5
    shift 5
    # shellcheck disable=SC2086
    [ "$setup" = - ] || ctl $setup
    run "$@"
    expect_rc "$code" "$what"
    err_has "$message" "$what"
    out_empty "$what"
    # shellcheck disable=SC2086
    [ "$setup" = - ] || ctl $setup
    run --json "$@"
    expect_rc "$code" "$what --json"
    MESSAGE=$message jcheck "d['ok'] is False and d['exit_code'] == $code and \
env['MESSAGE'] in d['error']" "$what --json"
    if [ "$status" != "-" ]; then
        jcheck "d['status']['code'] == $status" "$what --json status"
    fi
}

echo "== help"
run --help
expect_rc 0 "orxtool --help"
for word in info slots reset random seed selftest "Exit codes" "2  the ORVEXA driver"; do
    out_has "$word" "orxtool --help"
done
for command in info slots reset random seed selftest; do
    run "$command" --help
    expect_rc 0 "$command --help"
    out_has "usage: orxtool $command" "$command --help"
    out_has "4  bad arguments" "$command --help"
done

echo "== bad arguments"
while IFS='|' read -r args message; do
    # shellcheck disable=SC2086
    expect_failure 4 - "$message" "orxtool $args" - $args
done <<'EOF'
frobnicate|unknown command 'frobnicate'
info extra|unexpected argument 'extra'
info --hex|unknown option '--hex'
reset|missing argument
reset 16|SLOT must be a number from 0 to 15
reset -1|unknown option '-1'
reset 1x|SLOT must be a number from 0 to 15
random|missing argument
random 0|N must be a number of bytes from 1 to 67108864
random 67108865|N must be a number of bytes
random 99999999999|N must be a number of bytes
random 12 --hex --out x.bin|--hex and --out cannot be used together
random 12 --out|option '--out' needs a value
random 12 --hex --hex|option '--hex' given twice
selftest --save|option '--save' needs a value
EOF
run
expect_rc 4 "no command"

echo "== a generator that is not seeded"
ctl reset
run info
expect_rc 0 "info"
out_has "generator ready:           no" "info"
out_has "operational:               yes" "info"
out_has "block length:              512 bytes" "info"
run info --json
expect_rc 0 "info --json"
jcheck "d['ok'] and d['library_version'] == '1.6' and d['driver'] and \
not d['record']['generator_ready'] and d['record']['operational'] and \
d['record']['block_length'] == 512 and len(d['record']['words']) == 20 and \
d['last_status']['code'] == 0" "info --json"
ctl reset-counters
expect_failure 3 - "the generator is not ready" "random before seeding" - random 64 --hex
expect_failure 3 - "run 'orxtool seed' first" "selftest before seeding" - selftest
wine "$ctl_exe" counters >"$work/ctl" 2>&1
tr -d '\r' <"$work/ctl" | grep -qx 'function 1 0' || fail "random before seeding read a block"

echo "== seed"
run seed
expect_rc 0 "seed"
out_has "step 1: need (1, 40)" "seed"
out_has "step 1: accepted" "seed"
out_has "need (0, 0): the generator is ready and tested" "seed"
run info --json
jcheck "d['record']['generator_ready'] and d['record']['seed_accepted'] and \
d['record']['single_seed_bytes_accepted']" "info after seed"
run seed --json
expect_rc 0 "seed --json when ready"
jcheck "d['ok'] and d['ready'] and d['seeds_sent'] == 0 and \
d['steps'] == [{'need': '(0, 0)', 'kind': 0, 'size': 0, 'result': 'ready'}]" "seed --json"
ctl reset
run seed --json
expect_rc 0 "seed --json from empty"
jcheck "d['ok'] and d['steps'][0]['need'] == '(1, 40)' and \
d['steps'][0]['result'] == 'accepted' and d['steps'][-1]['result'] == 'ready' and \
d['seeds_sent'] == len(d['steps']) - 1 >= 1" "seed --json from empty"

echo "== slots and reset"
ctl load-key 0 1111111111 222222222222 load-key 9 3333333333 444444444444
run slots
expect_rc 0 "slots"
out_has "^0     222222222222  1111111111" "slots"
out_has "^9     444444444444  3333333333" "slots"
out_has "^15    -             -" "slots"
out_has "2 of 16 slots hold a key" "slots"
run slots --json
expect_rc 0 "slots --json"
jcheck "d['loaded'] == 2 and len(d['slots']) == 16 and \
d['slots'][9] == {'slot': 9, 'sign_key': '444444444444', 'crypt_key': '3333333333'} and \
all(s['sign_key'] is None and s['crypt_key'] is None for s in d['slots'] if s['slot'] not in (0, 9))" \
    "slots --json"
run reset 9
expect_rc 0 "reset 9"
out_has "slot 9 reset" "reset 9"
run slots --json
jcheck "d['loaded'] == 1 and d['slots'][0]['crypt_key'] == '1111111111' and \
d['slots'][9]['crypt_key'] is None" "slots after reset 9"
run reset all --json
expect_rc 0 "reset all --json"
jcheck "d['ok'] and d['reset'] == list(range(16)) and d['refused'] == []" "reset all --json"
run slots --json
jcheck "d['loaded'] == 0" "slots after reset all"
run reset all
expect_rc 0 "reset all"
out_has "all 16 slots reset" "reset all"

echo "== random"
run random 100 --hex
expect_rc 0 "random --hex"
[ "$(tr -d '\r\n' <"$work/out" | grep -cE '^[0-9a-f]{200}$')" = 1 ] || fail "random --hex digits"
[ "$(tr -d '\r' <"$work/out" | wc -l)" = 4 ] || fail "random --hex: 32 bytes a line"
run random 4097 --json
expect_rc 0 "random --json"
jcheck "d['ok'] and d['bytes'] == 4097 and len(bytes.fromhex(d['hex'])) == 4097" "random --json"
run random 1000
expect_rc 0 "random to stdout"
[ "$(stat -c %s "$work/out")" = 1000 ] || fail "random 1000 wrote $(stat -c %s "$work/out") bytes"
run random 513 --out "$(winpath "$work/r.bin")" --json
expect_rc 0 "random --out --json"
jcheck "d['ok'] and d['bytes'] == 513 and d['file'].endswith('r.bin')" "random --out --json"
[ "$(stat -c %s "$work/r.bin" 2>/dev/null)" = 513 ] || fail "random --out: file size"
run random 16 --out "$(winpath "$work/no/such/dir/r.bin")"
expect_rc 1 "random --out into a missing folder"
err_has "cannot write" "random --out into a missing folder"

# A mebibyte through rngtest's FIPS 140-2 tests (a healthy source fails about one block in
# a thousand: allow three of 419).
run random 1048576 --out "$(winpath "$work/mib.bin")"
expect_rc 0 "random 1 MiB"
rng=$(rngtest <"$work/mib.bin" 2>&1)
successes=$(echo "$rng" | sed -n 's/.*FIPS 140-2 successes: \([0-9]*\).*/\1/p')
failures=$(echo "$rng" | sed -n 's/.*FIPS 140-2 failures: \([0-9]*\).*/\1/p')
echo "rngtest: $successes successes, $failures failures"
if [ -z "$successes" ] || [ "$successes" -lt 416 ] || [ "$failures" -gt 3 ]; then
    fail "random output through rngtest: $successes successes, $failures failures"
fi

echo "== selftest"
run selftest
[ "$rc" -eq 5 ] && run selftest # a healthy source may fail one diagnostic now and then
expect_rc 0 "selftest"
for line in "sample 1  X = " "monobit   ones = " "poker     X = " "long run  longest = " \
    "repetition count     longest run = " "(cut-off 4)" "(cut-off 13)" "selftest: pass"; do
    out_has "$line" "selftest"
done

# ent_agrees FILE: ent's chi-square of the saved sample equals the first attempt's.
ent_agrees() {
    local ent_chi
    ent_chi=$(ent "$1" | sed -n 's/.*samples is \([0-9.]*\),.*/\1/p')
    echo "ent chi-square $ent_chi"
    jcheck "abs(d['chi_square']['attempts'][0] - float('${ent_chi:-nan}')) < 0.0051" \
        "ent's chi-square agrees with selftest's"
}
run selftest --json --save "$(winpath "$work/sample.bin")"
[ "$rc" -eq 5 ] && run selftest --json --save "$(winpath "$work/sample.bin")"
expect_rc 0 "selftest --json"
jcheck "d['ok'] and d['pass'] and d['sample_bytes'] == 25600 and \
d['chi_square']['pass'] and 205.33 <= d['chi_square']['attempts'][0] <= 310.57 and \
d['fips140_2']['pass'] and 9725 < d['fips140_2']['monobit']['ones'] < 10275 and \
d['sp800_90b']['repetition_count']['cutoff'] == 4 and \
d['sp800_90b']['adaptive_proportion']['cutoff'] == 13 and \
d['sp800_90b']['adaptive_proportion']['windows'] == 50" "selftest --json"
[ "$(stat -c %s "$work/sample.bin" 2>/dev/null)" = 25600 ] || fail "selftest --save size"
ent_agrees "$work/sample.bin"

# A generator that only yields 128 values: the library's test fails all five samples.
ctl bias half
run selftest --json --save "$(winpath "$work/biased.bin")"
expect_rc 5 "selftest of a biased generator"
jcheck "not d['ok'] and not d['pass'] and not d['chi_square']['pass'] and \
len(d['chi_square']['attempts']) == 5 and \
all(x > 310.57 for x in d['chi_square']['attempts'])" "selftest of a biased generator"
ent_agrees "$work/biased.bin"
run selftest
expect_rc 5 "selftest of a biased generator, text"
out_has "sample 5  X = " "selftest of a biased generator"
out_has "selftest: FAIL" "selftest of a biased generator"
err_has "failed a test" "selftest of a biased generator"
ctl bias off

echo "== injected faults"
echo "keep" >"$work/keep.bin"
for fault in "fail block|1" "checksum block|2" "delta block 0xFFFFFFFF|4" "status block 50|50"; do
    IFS='|' read -r fault_args status <<<"$fault"
    # shellcheck disable=SC2086
    ctl clear-faults fault $fault_args
    run random 2000 --out "$(winpath "$work/keep.bin")"
    expect_rc 3 "random with fault $fault_args"
    err_has "nothing was written" "random with fault $fault_args"
    [ "$(cat "$work/keep.bin")" = keep ] || fail "random with fault $fault_args touched its file"
    # shellcheck disable=SC2086
    ctl clear-faults fault $fault_args
    run random 2000 --hex --json
    expect_rc 3 "random --json with fault $fault_args"
    jcheck "not d['ok'] and d['exit_code'] == 3 and d['status']['code'] == $status and \
'hex' not in d" "random --json with fault $fault_args"
done
ctl clear-faults fault fail block 0 3
run selftest --save "$(winpath "$work/none.bin")"
expect_rc 3 "selftest with a failing block read"
out_empty "selftest with a failing block read"
[ ! -e "$work/none.bin" ] || fail "selftest with a failing block read saved a sample"

# The 5th key-get (slot 2, crypt number) refused: no table at all.
ctl load-key 4 5555555555 666666666666
expect_failure 3 7 "cannot read the key numbers of slot 2" "slots with a refused key-get" \
    "clear-faults fault status key-get 7 4" slots

# A refused slot does not stop "reset all"; the others are emptied.
ctl clear-faults load-key 3 5555555555 666666666666 fault netpath reset 0 5
run reset all --json
expect_rc 3 "reset all with slot 5 refused"
jcheck "d['reset'] == [s for s in range(16) if s != 5] and \
d['refused'] == [{'slot': 5, 'status': {'code': 53, 'name': ''}}] and \
'slot 5 (status 53 (system error 53))' in d['error']" "reset all with slot 5 refused"
run slots --json
jcheck "d['loaded'] == 0" "slots after reset all with slot 5 refused"
expect_failure 3 1 "refused to reset slot 7 (status 1 ORX_DRIVER_ERROR)" "reset 7 refused" \
    "clear-faults fault fail reset" reset 7

ctl reset fault status key-set 9
run seed
expect_rc 3 "seed with a refused 32-byte seed"
err_has "refused seed material (1, 40) (answer 3), status 9 ERROR_SET_KEY_INPUT_CHECK" \
    "seed with a refused 32-byte seed"
ctl reset fault status key-set 9
run seed --json
jcheck "not d['ok'] and d['steps'][0]['result'] == 'refused' and d['status']['code'] == 9" \
    "seed --json with a refused 32-byte seed"

ctl reset bias half
run seed
expect_rc 3 "seed of a biased generator"
err_has "failed the library's self-test" "seed of a biased generator"

ctl reset word 8 1
run seed --json
expect_rc 3 "seed of a generator that cannot be completed"
jcheck "not d['ok'] and d['steps'][0]['result'] == 'accepted' and \
'cannot be completed' in d['error']" "seed of a generator that cannot be completed"
run random 10 --hex
expect_rc 3 "random from a generator that cannot be completed"
err_has "cannot be completed" "random from a generator that cannot be completed"
ctl reset

echo "== driver absent"
driver_stopped=1
"$root/testbed/wine/driver-service.sh" stop
for args in "info" "slots" "reset 0" "reset all" "random 10 --hex" "seed" "selftest"; do
    # shellcheck disable=SC2086
    expect_failure 2 51 "the ORVEXA driver is not available" "$args without the driver" - $args
    err_has "DRIVER_OPEN_ERROR" "$args without the driver"
done
run info --json
jcheck "d['driver'] is False and d['library_version'] == '1.6' and \
d['status']['name'] == 'DRIVER_OPEN_ERROR'" "info --json without the driver"
"$root/testbed/wine/driver-service.sh" start
driver_stopped=0
run info
expect_rc 0 "info after the driver is back"

if [ "$failed" -gt 0 ]; then
    echo "$failed check(s) failed"
    exit 1
fi
echo "all orxtool checks passed"
