#!/usr/bin/env bash
# The NSIS setup (build/installer/orx-setup.exe) in a fresh Wine prefix of its own, 32-bit
# or 64-bit Windows: silent install with the emulated driver and the SDK, each architecture's
# files where its programs load them, shortcuts, registry and the driver service, the
# installed orxtool, orvexa_ctl and `orxload.exe S` working; silent uninstall leaving the
# prefix's files as they were and the user's settings and seed mask in place; then a plain
# install (no driver, no SDK) and uninstall.
#
#   nsis_test.sh [win32|win64]      (default: $ORX_WINE_ARCH, else win32)
#
# About a minute, most of it creating the prefix.
set -uo pipefail
. "$(dirname "$0")/installer_common.sh" "${1:-}"
setup="$packages/orx-setup.exe"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ORX'
instdir="$c/Program Files/ORX"
if [ "$arch" = win64 ]; then
    tool='C:\windows\system32\orxtool.exe'
    drivers="$sys64/drivers"
else
    tool='C:\Program Files\ORX\orxtool.exe'
    drivers="$sys32/drivers"
fi
service_installed() { wine sc query orvexa 2>/dev/null | grep -q SERVICE_NAME; }

# A silent uninstall restarts itself from a temporary copy and returns at once: wait until
# its folder is gone.
uninstall() {
    wine 'C:\Program Files\ORX\uninstall.exe' /S
    for _ in $(seq 60); do
        [ -e "$instdir" ] || break
        sleep 0.5
    done
    [ ! -e "$instdir" ] || fail "uninstall: Program Files\\ORX still there"
    sleep 1 # the copy in the temporary folder may still be finishing its registry work
}

new_prefix
snapshot "$work/before.txt"

echo "== silent install with the emulated driver and the SDK"
wine "$setup" /S /EVALDRIVER /SDK
rc=$?
[ "$rc" -eq 0 ] || fail "setup /S /EVALDRIVER /SDK exited $rc"
check_files "$instdir" "$c/ProgramData" # the all-users Start menu
check_sdk "$instdir/SDK"
same_file "$nbin/orvexa.sys" "$drivers/orvexa.sys" "drivers\\orvexa.sys"
same_file "$nbin/orvexa_ctl.exe" "$instdir/orvexa_ctl.exe" "orvexa_ctl.exe"
[ -s "$instdir/uninstall.exe" ] || fail "uninstall.exe missing"
reg_has "$uninstall_key" DisplayName "ORX toolkit" "uninstall entry"
reg_has "$uninstall_key" UninstallString 'Program Files\\ORX\\uninstall.exe' "UninstallString"
reg_has "$uninstall_key" EmulatedDriver 0x1 "EmulatedDriver flag"

echo "== the installed programs"
# orxtool answering is the proof that the driver loaded: on 64-bit Windows a kernel service
# created by a 32-bit sc lands in a 32-bit driver host, where the x64 driver cannot load.
check_programs "$tool"
native_wine "$tool" --json info 2>/dev/null | python3 -c \
    'import json,sys; d=json.load(sys.stdin); sys.exit(0 if d["record"]["seed_accepted"] else 1)' ||
    fail "generator not ready after orxtool seed"
native_wine 'C:\Program Files\ORX\orvexa_ctl.exe' load-key 2 1234567890 123456789012 >/dev/null ||
    fail "installed orvexa_ctl"
native_wine "$tool" slots 2>/dev/null | tr -d '\r' | grep -q '^2     123456789012  1234567890' ||
    fail "installed orxtool slots"
write_user_data

echo "== silent uninstall"
uninstall
same_files "uninstall"
key_absent "$uninstall_key" "uninstall entry left behind"
key_absent "$component_key" "component entry left behind"
key_absent 'HKLM\SOFTWARE\DEZURE' "empty DEZURE key left behind"
service_installed && fail "the orvexa service is still installed"
check_user_data "uninstall"

echo "== plain install and uninstall"
wine "$setup" /S
rc=$?
[ "$rc" -eq 0 ] || fail "setup /S exited $rc"
check_files "$instdir" "$c/ProgramData" # the all-users Start menu
[ -e "$drivers/orvexa.sys" ] && fail "plain install put the emulated driver in"
[ -e "$instdir/orvexa_ctl.exe" ] && fail "plain install put orvexa_ctl in"
[ -e "$instdir/SDK" ] && fail "plain install put the SDK in"
service_installed && fail "plain install created the orvexa service"
native_wine "$tool" info >/dev/null 2>&1
rc=$?
[ "$rc" -eq 2 ] || fail "installed orxtool without a driver exited $rc, expected 2"
uninstall
same_files "plain uninstall"
check_user_data "second uninstall"

finish
