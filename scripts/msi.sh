#!/usr/bin/env bash
# Builds the MSI packages of the ORX toolkit with wixl (Debian package wixl) from the cross
# builds and the SDK: OUT_DIR/orx-x86.msi and OUT_DIR/orx-x64.msi.
#
#   scripts/msi.sh [OUT_DIR]
#
# OUT_DIR defaults to build/installer. The binaries come from build/win32/bin and
# build/win64/bin, the SDK from build/sdk (ORX_WIN32_BIN, ORX_WIN64_BIN, ORX_SDK override).
# ORX_VERSION overrides the version in installer/version (the upgrade test builds a newer one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out_dir=${1:-$root/build/installer}
bin32=$(realpath "${ORX_WIN32_BIN:-$root/build/win32/bin}")
bin64=$(realpath "${ORX_WIN64_BIN:-$root/build/win64/bin}")
sdk=$(realpath "${ORX_SDK:-$root/build/sdk}")
version=${ORX_VERSION:-$(cat "$root/installer/version")}

for tool in wixl wixl-heat; do
    command -v $tool >/dev/null || {
        echo "msi.sh: $tool not found (Debian package wixl)" >&2
        exit 1
    }
done
[ -f "$sdk/include/orxlink.h" ] || {
    echo "msi.sh: no SDK in $sdk (scripts/sdk.sh)" >&2
    exit 1
}
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# wixl takes sources by relative path only: it runs in a folder of links to its inputs.
ln -s "$bin32" "$work/bin32"
ln -s "$bin64" "$work/bin64"
ln -s "$sdk" "$work/sdk"
ln -s "$root/tools/orxtool/README.md" "$work/orxtool.txt"
cd "$work"

# The SDK's files as components under INSTALLDIR\SDK.
find -L sdk -type f | sort |
    wixl-heat -p sdk/ --directory-ref SDKDIR --var var.SdkDir --component-group SdkFiles \
        --win64 >sdk.wxs

# One product code per architecture and version: rebuilding a version gives the same
# product (a reinstall is a repair, not a second copy); another version is an upgrade.
product_code() {
    python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("1e684295-ba9a-4ab7-a160-47d8a8ff1c05"), sys.argv[1])).upper())' \
        "orx-$1-$2"
}

for arch in x86 x64; do
    wixl -a "$arch" -o "$out_dir/orx-$arch.msi" \
        -D Arch="$arch" -D Version="$version" -D ProductCode="$(product_code "$arch" "$version")" \
        -D Bin32=bin32 -D Bin64=bin64 -D SdkDir=sdk -D Readme=orxtool.txt \
        -D Win64="$([ "$arch" = x64 ] && echo yes || echo no)" \
        "$root/installer/orx.wxs" sdk.wxs
    echo "msi: $out_dir/orx-$arch.msi"
done
