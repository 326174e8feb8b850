#!/bin/sh
# Installs the stand-ins of the outside libraries into the Wine prefix $WINEPREFIX, with
# their sample key media and registry settings.
#
#   standins.sh install BIN_DIR | uninstall
#
# install (idempotent; every run brings back the same state):
#   - copies rdr.dll, tmdrv32.dll, wbotho.dll and wbotho_noreset.dll from BIN_DIR into
#     the 32-bit system folder (the loader finds the crypto library there as wbotho.dll);
#   - copies testbed/media to $ORX_MEDIA_DIR (default build/testbed-media of the checkout);
#   - maps A: to its floppy/ folder and E: to its removable/ folder, both of drive type
#     "floppy", which Wine reports as removable drives;
#   - replaces HKCU\Software\ORX\Testbed with the defaults: MediaDir (the media folder as a
#     Windows path), the device TM:COM1 mapped to touchmemory/, and one key under Keyreg1.
# A running Wine server picks the drive types up at its next start.
set -eu

: "${WINEPREFIX:?set WINEPREFIX to the prefix directory}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/testbed/wine/native-wine.sh"
media="${ORX_MEDIA_DIR:-$root/build/testbed-media}"
# The stand-ins are 32-bit: on a 64-bit prefix their system folder is SysWOW64.
system32="$WINEPREFIX/drive_c/windows/system32"
[ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && system32="$WINEPREFIX/drive_c/windows/syswow64"
dosdevices="$WINEPREFIX/dosdevices"
libraries="rdr.dll tmdrv32.dll wbotho.dll wbotho_noreset.dll"

import_registry() { # file with the REGEDIT4 text
    reg_file="$WINEPREFIX/drive_c/windows/temp/orx-standins.reg"
    mkdir -p "$(dirname "$reg_file")"
    cp "$1" "$reg_file"
    native_wine regedit /S 'C:\windows\temp\orx-standins.reg'
    rm -f "$reg_file"
}

install() {
    bin="$1"
    for lib in $libraries; do
        if [ ! -f "$bin/$lib" ]; then
            echo "standins.sh: no $lib in '$bin'" >&2
            exit 1
        fi
    done
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "standins.sh: no Wine prefix at '$WINEPREFIX'" >&2
        exit 1
    fi
    for lib in $libraries; do
        cp "$bin/$lib" "$system32/$lib"
    done

    rm -rf "$media"
    mkdir -p "$media"
    cp -R "$root/testbed/media/." "$media/"
    ln -sfn "$media/floppy" "$dosdevices/a:"
    ln -sfn "$media/removable" "$dosdevices/e:"

    media_win=$(wine winepath -w "$media" 2>/dev/null | tr -d '\r')
    media_reg=$(printf '%s' "$media_win" | sed 's/\\/\\\\/g')
    tmp=$(mktemp)
    cat >"$tmp" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]
"a:"="floppy"
"e:"="floppy"

[-HKEY_CURRENT_USER\\Software\\ORX\\Testbed]

[HKEY_CURRENT_USER\\Software\\ORX\\Testbed]
"MediaDir"="$media_reg"

[HKEY_CURRENT_USER\\Software\\ORX\\Testbed\\Crypto\\Devices]
"TM:COM1"="touchmemory"

[HKEY_CURRENT_USER\\Software\\ORX\\Testbed\\Keyreg1\\key5]
"num"="5555666666"
"nump"="555566666677"
REG
    import_registry "$tmp"
    rm -f "$tmp"
}

uninstall() {
    for lib in $libraries; do
        rm -f "$system32/$lib"
    done
    rm -f "$dosdevices/a:" "$dosdevices/e:"
    tmp=$(mktemp)
    cat >"$tmp" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"a:"=-
"e:"=-

[-HKEY_CURRENT_USER\Software\ORX\Testbed]
REG
    import_registry "$tmp"
    rm -f "$tmp"
    rm -rf "$media"
}

case "${1:-}" in
install)
    if [ -z "${2:-}" ]; then
        echo "usage: standins.sh install BIN_DIR | uninstall" >&2
        exit 1
    fi
    install "$2"
    ;;
uninstall)
    uninstall
    ;;
*)
    echo "usage: standins.sh install BIN_DIR | uninstall" >&2
    exit 1
    ;;
esac
