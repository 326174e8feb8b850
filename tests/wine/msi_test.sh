#!/usr/bin/env bash
# The MSI package of one architecture in a fresh Wine prefix of its own: orx-x86.msi on
# 32-bit Windows, orx-x64.msi on 64-bit Windows (where orx-x86.msi must refuse to install).
# `msiexec /i ... /qn` with the SDK, the files, shortcuts and registry, the installed
# `orxtool info` and `orxload.exe S` against the emulated driver (the testbed's: the package
# carries none); a newer package (built here) replaces it, an older one is refused over the
# newer; `msiexec /x ... /qn` leaves the prefix's files as they were and the user's settings
# and seed mask in place.
#
#   msi_test.sh [win32|win64]      (default: $ORX_WINE_ARCH, else win32)
set -uo pipefail
. "$(dirname "$0")/installer_common.sh" "${1:-}"
if [ "$arch" = win64 ]; then
    msi_arch=x64 tool='C:\windows\system32\orxtool.exe'
else
    msi_arch=x86 tool='C:\Program Files\ORX\orxtool.exe'
fi
instdir="$c/Program Files/ORX"
# Per machine, the shortcuts belong in the all-users Start menu; Wine's msi puts them in the
# user's whatever ALLUSERS says.
menu_root="$c/users"
old_version=$(cat "$root/installer/version")
new_version=${old_version%.*}.$((${old_version##*.} + 1))
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
old_msi=$(winpath "$packages/orx-$msi_arch.msi")
new_msi=$(winpath "$work/new/orx-$msi_arch.msi")

msiexec() { # EXPECTED_EXIT ARGUMENTS... (0 or "fail")
    local expected=$1 rc
    shift
    native_wine msiexec "$@" /qn
    rc=$?
    if [ "$expected" = fail ]; then
        [ "$rc" -ne 0 ] || fail "msiexec $* succeeded, expected a refusal"
    else
        [ "$rc" -eq "$expected" ] || fail "msiexec $* exited $rc"
    fi
}

# The uninstall entries of ORX toolkit, one version line per installed product, from both
# registry views on 64-bit Windows.
arp_versions() {
    local view
    for view in /reg:32 $([ "$arch" = win64 ] && echo /reg:64); do
        wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s $view 2>/dev/null
    done | tr -d '\r' | awk 'function flush() { if (orx) print v; orx = 0; v = "" }
            /^HKEY/ { flush() } /DisplayName.*ORX toolkit/ { orx = 1 }
            /DisplayVersion/ { v = $NF } END { flush() }'
}

echo "== a newer package, $new_version"
ORX_VERSION=$new_version "$root/scripts/msi.sh" "$work/new" >/dev/null || fail "msi.sh $new_version"

new_prefix
"$root/testbed/wine/driver-service.sh" install "$nbin/orvexa.sys" &&
    "$root/testbed/wine/driver-service.sh" start || fail "testbed driver did not start"
snapshot "$work/before.txt"

if [ "$arch" = win64 ]; then
    echo "== orx-x86.msi on 64-bit Windows"
    msiexec fail /i "$(winpath "$packages/orx-x86.msi")"
    [ -e "$sys32/orxload.exe" ] && fail "orx-x86.msi installed on 64-bit Windows"
fi

echo "== msiexec /i orx-$msi_arch.msi (the SDK by default)"
msiexec 0 /i "$old_msi"
check_files "$instdir" "$menu_root"
check_sdk "$instdir/SDK"
[ "$(arp_versions)" = "$old_version" ] || fail "uninstall entries: '$(arp_versions)'"
check_programs "$tool"
write_user_data

echo "== upgrade to $new_version"
msiexec 0 /i "$new_msi"
[ "$(arp_versions)" = "$new_version" ] ||
    fail "after the upgrade the uninstall entries are '$(arp_versions)', expected $new_version only"
reg_has "$component_key" DisplayName "ORX toolkit $new_version" "component entry not upgraded"
check_files "$instdir" "$menu_root"
check_sdk "$instdir/SDK"
check_programs "$tool"
msiexec fail /i "$old_msi"
reg_has "$component_key" DisplayName "ORX toolkit $new_version" "the older package replaced the newer"

echo "== msiexec /x"
msiexec 0 /x "$new_msi"
"$root/testbed/wine/driver-service.sh" stop
same_files "msiexec /x"
[ -z "$(arp_versions)" ] || fail "uninstall entry left: $(arp_versions)"
key_absent "$component_key" "component entry left behind"
check_user_data "msiexec /x"

finish
