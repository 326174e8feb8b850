#!/usr/bin/env bash
# Builds the installers of the ORX toolkit from the cross builds (scripts/build.sh runs it):
#   OUT_DIR/orx-setup.exe              NSIS setup for 32-bit and 64-bit Windows (makensis)
#   OUT_DIR/orx-x86.msi, orx-x64.msi   MSI packages (scripts/msi.sh, wixl)
# and, first, the SDK that both carry (scripts/sdk.sh, build/sdk).
#
#   scripts/installer.sh [OUT_DIR]
#
# OUT_DIR defaults to build/installer. The binaries come from build/win32/bin and
# build/win64/bin (ORX_WIN32_BIN, ORX_WIN64_BIN override). Nothing is rebuilt when every
# package is newer than all it is made of.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out_dir=${1:-$root/build/installer}
bin32=${ORX_WIN32_BIN:-$root/build/win32/bin}
bin64=${ORX_WIN64_BIN:-$root/build/win64/bin}
sdk=$root/build/sdk

command -v makensis >/dev/null || {
    echo "installer.sh: makensis not found (Debian package nsis)" >&2
    exit 1
}
inputs=()
for f in orxload.exe orxlink.dll res409.dll res419.dll orxtool.exe orvexa.sys orvexa_ctl.exe; do
    inputs+=("$bin32/$f")
done
for f in orxlink.dll orxtool.exe orvexa.sys orvexa_ctl.exe; do
    inputs+=("$bin64/$f")
done
for f in "${inputs[@]}"; do
    [ -f "$f" ] || {
        echo "installer.sh: no $f (build the Windows trees first: scripts/build.sh)" >&2
        exit 1
    }
done
inputs+=("$root"/installer/* "$root"/scripts/{installer,msi,sdk}.sh "$root/tools/orxtool/README.md"
    "$root/include/orxlink.h" "$root/orxlink/orxlink.def" "$root/docs/orxlink.md"
    "$root"/examples/*.c "$root/examples/README.md")

outputs=("$out_dir/orx-setup.exe" "$out_dir/orx-x86.msi" "$out_dir/orx-x64.msi")
up_to_date() {
    local out
    for out in "${outputs[@]}"; do
        [ -f "$out" ] || return 1
        [ -z "$(find "${inputs[@]}" -newer "$out" -print -quit)" ] || return 1
    done
}
if up_to_date; then
    echo "installers up to date in $out_dir"
    exit 0
fi

"$root/scripts/sdk.sh" "$sdk" >/dev/null
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$(cat "$root/installer/version")" \
    -DBIN_DIR="$(realpath "$bin32")" -DBIN64_DIR="$(realpath "$bin64")" -DSDK_DIR="$sdk" \
    -DOUT_FILE="$out_dir/orx-setup.exe" "$root/installer/orx.nsi"
echo "installer: $out_dir/orx-setup.exe"
ORX_WIN32_BIN=$bin32 ORX_WIN64_BIN=$bin64 ORX_SDK=$sdk "$root/scripts/msi.sh" "$out_dir"
