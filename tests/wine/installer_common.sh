# Sourced by the installer tests: a fresh Wine prefix of their own for one Windows
# architecture, the paths an installer writes to there, and the checks they share.
#
#   . installer_common.sh ARCH     (ARCH: win32 or win64; default $ORX_WINE_ARCH or win32)
#
# Binaries, SDK and packages come from the build (scripts/build.sh); ORX_WIN32_BIN,
# ORX_WIN64_BIN, ORX_SDK and ORX_INSTALLERS override their folders. The prefix's own Wine
# server is stopped on exit, and only that one.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
arch=${1:-${ORX_WINE_ARCH:-win32}}
bin32=$(realpath "${ORX_WIN32_BIN:-$root/build/win32/bin}")
bin64=$(realpath "${ORX_WIN64_BIN:-$root/build/win64/bin}")
sdk=$(realpath "${ORX_SDK:-$root/build/sdk}")
packages=$(realpath "${ORX_INSTALLERS:-$root/build/installer}")
work=$(mktemp -d)
failed=0

export WINEPREFIX="$work/prefix"
export WINEARCH=$arch
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
c="$WINEPREFIX/drive_c"
settings_key='HKCU\SOFTWARE\DEZURE\Cryptography\orxload'
mask_key='HKCU\SOFTWARE\DEZURE\Cryptography\RANDOM'
mask_hex=000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f
component_key='HKLM\SOFTWARE\DEZURE\Cryptography\ORX'

# Where each architecture's files belong: sys32 is the folder 32-bit programs load from,
# sys64 the 64-bit system folder (none on 32-bit Windows); nbin the machine's own binaries.
# native_wine runs a program of the machine's own architecture (`wine` starts a 32-bit
# process that would see system32 redirected, and run the 32-bit msiexec or sc).
. "$root/testbed/wine/native-wine.sh"
case "$arch" in
win32)
    sys32="$c/windows/system32" sys64="" nbin=$bin32
    loader_path='C:\windows\system32\orxload.exe'
    ;;
win64)
    sys32="$c/windows/syswow64" sys64="$c/windows/system32" nbin=$bin64
    loader_path='C:\windows\syswow64\orxload.exe'
    ;;
*)
    echo "unknown architecture '$arch' (win32 or win64)" >&2
    exit 2
    ;;
esac

cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($arch): $*"
    failed=$((failed + 1))
}

# Registry checks in the 32-bit view, where the 32-bit loader and a 32-bit setup program
# read and write HKLM (WOW6432Node on 64-bit Windows); HKCU is shared by both views.
reg32() { wine reg query "$@" /reg:32 2>/dev/null | tr -d '\r'; }
reg_has() { # KEY VALUE PATTERN WHAT
    reg32 "$1" /v "$2" | grep -qi -- "$3" || fail "$4"
}
key_absent() { # KEY WHAT
    ! wine reg query "$1" /reg:32 >/dev/null 2>&1 || fail "$2"
}

# The prefix's files, less the temporary folders (an uninstaller runs from a copy there).
snapshot() {
    (cd "$c" && find . \( -type f -o -type l \) | grep -viE '/temp/' | sort) >"$1"
}
same_files() { # WHAT: the prefix's files as before the install
    snapshot "$work/after.txt"
    diff -u "$work/before.txt" "$work/after.txt" || fail "$1: files differ from before the install"
}

same_file() { # BUILT INSTALLED WHAT
    cmp -s "$1" "$2" || fail "$3 missing or not the built one"
}

# The toolkit's files for this architecture, as both installers lay them out; $1 is the
# install folder, $2 the folder that holds the Start menu with the shortcuts.
check_files() {
    local f
    for f in orxload.exe orxlink.dll res409.dll res419.dll; do
        same_file "$bin32/$f" "$sys32/$f" "32-bit system folder: $f"
    done
    if [ -n "$sys64" ]; then
        same_file "$bin64/orxlink.dll" "$sys64/orxlink.dll" "64-bit system folder: orxlink.dll"
        same_file "$bin64/orxtool.exe" "$sys64/orxtool.exe" "64-bit system folder: orxtool.exe"
    else
        same_file "$bin32/orxtool.exe" "$1/orxtool.exe" "orxtool.exe"
    fi
    same_file "$root/tools/orxtool/README.md" "$1/orxtool.txt" "orxtool.txt"
    local links
    links=$(find "$2" -path '*Start Menu/Programs/ORX/*.lnk' -printf '%f\n' | sort | tr '\n' '|')
    [ "$links" = "ORX Command Prompt.lnk|ORX Driver Status.lnk|ORX Key Loader.lnk|Uninstall ORX.lnk|" ] ||
        fail "Start-menu shortcuts: $links"
    # The loader's shortcut must name the folder it is really in (SysWOW64 on 64-bit Windows).
    find "$2" -path '*Start Menu/Programs/ORX/ORX Key Loader.lnk' -exec cat {} + | tr -d '\0' |
        grep -aqiF "$loader_path" || fail "ORX Key Loader shortcut does not point at $loader_path"
    reg_has "$component_key" DisplayName "ORX toolkit" "component entry"
}

check_sdk() { # INSTALLED_SDK_FOLDER
    diff -r "$sdk" "$1" >/dev/null || fail "SDK in $1 differs from $sdk"
}

# The user's own settings and seed mask, written while the toolkit was in use, and the
# check that an uninstall left them.
write_user_data() {
    wine reg add "$settings_key" /v DefaultKeyDev /d Keyreg1 /f >/dev/null
    wine reg add "$settings_key" /v RNGAutoDev /t REG_DWORD /d 1 /f >/dev/null
    wine reg add "$mask_key" /v mask /t REG_BINARY /d "$mask_hex" /f >/dev/null
}
check_user_data() { # WHAT
    reg_has "$settings_key" DefaultKeyDev Keyreg1 "$1: user setting DefaultKeyDev removed"
    reg_has "$settings_key" RNGAutoDev 0x1 "$1: user setting RNGAutoDev removed"
    reg_has "$mask_key" mask "$mask_hex" "$1: seed mask removed or changed"
}

# The installed programs against a running driver: orxtool (the machine's own) seeds the
# generator and reads the record, then the 32-bit loader makes sure of the generator through
# the 32-bit orxlink (unseeded, it would wait for key presses: hence the time limit).
check_programs() { # ORXTOOL_WINDOWS_PATH
    native_wine "$1" seed >/dev/null 2>&1 || fail "installed orxtool seed"
    native_wine "$1" info >/dev/null 2>&1 || fail "installed orxtool info"
    timeout 60 wine "$loader_path" S
    local rc=$?
    [ "$rc" -eq 0 ] || fail "orxload.exe S exited $rc"
}

new_prefix() {
    echo "== fresh $arch prefix (Windows 10)"
    "$root/testbed/wine/prefix.sh" --null-graphics || exit 1 # says Windows 10
    wineserver -w
    wineserver -p
    # The customer's crypto library and reader library, installed before us and not ours.
    cp "$bin32/wbotho.dll" "$bin32/rdr.dll" "$sys32/"
}

finish() {
    if [ "$failed" -gt 0 ]; then
        echo "$failed check(s) failed ($arch)"
        exit 1
    fi
    echo "all checks passed ($arch)"
}
