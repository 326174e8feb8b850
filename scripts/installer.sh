#!/usr/bin/env bash
# Builds the Windows installer of the ORX toolkit with NSIS (makensis) from the cross build.
#
#   scripts/installer.sh [BIN_DIR [OUT_DIR]]
#
# BIN_DIR defaults to build/win32/bin (scripts/build.sh), OUT_DIR to build/installer; the
# result is OUT_DIR/orx-setup.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/win32/bin}" && pwd)
out_dir=${2:-$root/build/installer}

command -v makensis >/dev/null || {
    echo "installer.sh: makensis not found (Debian package nsis)" >&2
    exit 1
}
for f in orxload.exe orxlink.dll res409.dll res419.dll orxtool.exe orvexa.sys orvexa_ctl.exe; do
    [ -f "$bin/$f" ] || {
        echo "installer.sh: no $f in $bin (build the Windows targets first)" >&2
        exit 1
    }
done
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
makensis -V2 -INPUTCHARSET UTF8 -DBIN_DIR="$bin" -DOUT_FILE="$out_dir/orx-setup.exe" \
    "$root/installer/orx.nsi"
echo "installer: $out_dir/orx-setup.exe"
