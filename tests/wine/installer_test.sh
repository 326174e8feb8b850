#!/usr/bin/env bash
# The NSIS installer in a fresh Wine prefix of its own: silent install with the emulated
# driver, files, shortcuts, registry and service present, the installed orxtool and
# `orxload.exe S` working; silent uninstall leaving the prefix's files as they were and the
# user's settings and seed mask in place; then a plain install (no driver) and uninstall.
#
#   installer_test.sh SETUP_EXE BIN_DIR
#
# BIN_DIR holds the binaries the installer was built from, and the stand-in crypto and
# reader libraries (wbotho.dll, rdr.dll) that play the customer's own crypto library.
# Takes about a minute, most of it creating the prefix. Sets its own WINEPREFIX and stops
# only the Wine server of that prefix.
set -uo pipefail
setup=$(realpath "$1")
bin=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
failed=0

export WINEPREFIX="$work/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
c="$WINEPREFIX/drive_c"
sys32="$c/windows/system32"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ORX'
settings_key='HKCU\SOFTWARE\DEZURE\Cryptography\orxload'
mask_key='HKCU\SOFTWARE\DEZURE\Cryptography\RANDOM'
mask_hex=000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f

cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}

reg_has() { # KEY VALUE PATTERN WHAT
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -qi -- "$3" || fail "$4"
}
key_absent() { # KEY WHAT
    ! wine reg query "$1" >/dev/null 2>&1 || fail "$2"
}
service_state() { wine sc query orvexa 2>/dev/null | tr -d '\r'; }

# The prefix's files, less the temporary folders (the uninstaller runs from a copy there).
snapshot() {
    (cd "$c" && find . \( -type f -o -type l \) | grep -viE '/temp/|/Temp/' | sort) >"$1"
}

# A silent uninstall restarts itself from a temporary copy and returns at once: wait until
# its folder is gone.
uninstall() {
    wine 'C:\Program Files\ORX\uninstall.exe' /S
    for _ in $(seq 60); do
        [ -e "$c/Program Files/ORX" ] || break
        sleep 0.5
    done
    [ ! -e "$c/Program Files/ORX" ] || fail "uninstall: Program Files\\ORX still there"
    sleep 1 # the copy in the temporary folder may still be finishing its registry work
}

echo "== fresh prefix"
"$root/testbed/wine/prefix.sh" --null-graphics || exit 1
wineserver -w
wineserver -p
# The customer's crypto library and reader library, installed before us and not ours.
cp "$bin/wbotho.dll" "$bin/rdr.dll" "$sys32/"
snapshot "$work/before.txt"

echo "== silent install with the emulated driver"
wine "$setup" /S /EVALDRIVER
rc=$?
[ "$rc" -eq 0 ] || fail "setup /S /EVALDRIVER exited $rc"
for f in orxload.exe orxlink.dll res409.dll res419.dll; do
    cmp -s "$bin/$f" "$sys32/$f" || fail "system32\\$f missing or not the built one"
done
cmp -s "$bin/orvexa.sys" "$sys32/drivers/orvexa.sys" || fail "drivers\\orvexa.sys missing"
for f in orxtool.exe orvexa_ctl.exe; do
    cmp -s "$bin/$f" "$c/Program Files/ORX/$f" || fail "Program Files\\ORX\\$f missing"
done
for f in orxtool.txt uninstall.exe; do
    [ -s "$c/Program Files/ORX/$f" ] || fail "Program Files\\ORX\\$f missing"
done
links=$(find "$c" -path '*Start Menu/Programs/ORX/*.lnk' -printf '%f\n' | sort | tr '\n' '|')
[ "$links" = "ORX Command Prompt.lnk|ORX Driver Status.lnk|ORX Key Loader.lnk|Uninstall ORX.lnk|" ] ||
    fail "Start-menu shortcuts: $links"
reg_has "$uninstall_key" DisplayName "ORX toolkit" "uninstall entry"
reg_has "$uninstall_key" UninstallString 'Program Files\\ORX\\uninstall.exe' "UninstallString"
reg_has "$uninstall_key" EmulatedDriver 0x1 "EmulatedDriver flag"
reg_has 'HKLM\SOFTWARE\DEZURE\Cryptography\ORX' DisplayName "ORX toolkit" "component entry"
service_state | grep -q RUNNING || fail "the orvexa service is not running: $(service_state)"

echo "== the installed programs"
tool='C:\Program Files\ORX\orxtool.exe'
wine "$tool" info >/dev/null 2>&1 || fail "installed orxtool info"
wine "$tool" seed >/dev/null 2>&1 || fail "installed orxtool seed"
wine "$tool" --json info 2>/dev/null | python3 -c \
    'import json,sys; d=json.load(sys.stdin); sys.exit(0 if d["record"]["seed_accepted"] else 1)' ||
    fail "generator not ready after orxtool seed"
wine 'C:\windows\system32\orxload.exe' S
rc=$?
[ "$rc" -eq 0 ] || fail "orxload.exe S exited $rc"
wine 'C:\Program Files\ORX\orvexa_ctl.exe' load-key 2 1234567890 123456789012 >/dev/null ||
    fail "installed orvexa_ctl"
wine "$tool" slots 2>/dev/null | tr -d '\r' | grep -q '^2     123456789012  1234567890' ||
    fail "installed orxtool slots"

# The user's own settings and seed mask, written while the toolkit was in use.
wine reg add "$settings_key" /v DefaultKeyDev /d Keyreg1 /f >/dev/null
wine reg add "$settings_key" /v RNGAutoDev /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$mask_key" /v mask /t REG_BINARY /d "$mask_hex" /f >/dev/null

echo "== silent uninstall"
uninstall
snapshot "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "files differ from before the install"
key_absent "$uninstall_key" "uninstall entry left behind"
key_absent 'HKLM\SOFTWARE\DEZURE\Cryptography\ORX' "component entry left behind"
key_absent 'HKLM\SOFTWARE\DEZURE' "empty DEZURE key left behind"
service_state | grep -q SERVICE_NAME && fail "the orvexa service is still installed"
reg_has "$settings_key" DefaultKeyDev Keyreg1 "user setting DefaultKeyDev removed"
reg_has "$settings_key" RNGAutoDev 0x1 "user setting RNGAutoDev removed"
reg_has "$mask_key" mask "$mask_hex" "seed mask removed or changed"

echo "== plain install and uninstall"
wine "$setup" /S
rc=$?
[ "$rc" -eq 0 ] || fail "setup /S exited $rc"
[ -e "$sys32/drivers/orvexa.sys" ] && fail "plain install put the emulated driver in"
[ -e "$c/Program Files/ORX/orvexa_ctl.exe" ] && fail "plain install put orvexa_ctl in"
service_state | grep -q SERVICE_NAME && fail "plain install created the orvexa service"
wine "$tool" info >/dev/null 2>&1
rc=$?
[ "$rc" -eq 2 ] || fail "installed orxtool without a driver exited $rc, expected 2"
uninstall
snapshot "$work/after2.txt"
diff -u "$work/before.txt" "$work/after2.txt" || fail "files differ after the plain install"
reg_has "$mask_key" mask "$mask_hex" "seed mask removed by the second uninstall"

if [ "$failed" -gt 0 ]; then
    echo "$failed check(s) failed"
    exit 1
fi
echo "all installer checks passed"
