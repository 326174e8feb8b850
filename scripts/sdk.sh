#!/usr/bin/env bash
# Lays out the SDK for client programmers of orxlink.dll (default: build/sdk):
#   include/orxlink.h, lib/orxlink.def, lib/{x86,x64}/liborxlink.a (MinGW) and orxlink.lib
#   (Microsoft toolchain), docs/orxlink.md, examples/*.c and their README.
# Import libraries need only the .def, so both architectures come from it without a build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/sdk}
def=$root/orxlink/orxlink.def

# llvm-dlltool under its plain name or with Debian's version suffix.
find_llvm_dlltool() {
  local candidate
  for candidate in llvm-dlltool $(compgen -c llvm-dlltool- | sort -t- -k3 -n -r); do
    command -v "$candidate" >/dev/null && { echo "$candidate"; return 0; }
  done
  echo "scripts/sdk.sh: llvm-dlltool not found (Debian package llvm)" >&2
  return 1
}
llvm_dlltool=$(find_llvm_dlltool)

rm -rf "$out"
mkdir -p "$out/include" "$out/lib/x86" "$out/lib/x64" "$out/docs" "$out/examples"
cp "$root/include/orxlink.h" "$out/include/"
cp "$def" "$out/lib/"
cp "$root/docs/orxlink.md" "$out/docs/"
cp "$root"/examples/*.c "$root/examples/README.md" "$out/examples/"

# MinGW: GNU dlltool of each target (it decorates x86 names with the leading underscore).
i686-w64-mingw32-dlltool -d "$def" -D orxlink.dll -l "$out/lib/x86/liborxlink.a" -k
x86_64-w64-mingw32-dlltool -d "$def" -D orxlink.dll -l "$out/lib/x64/liborxlink.a"
# Microsoft toolchain: short import libraries.
"$llvm_dlltool" -m i386 -d "$def" -D orxlink.dll -l "$out/lib/x86/orxlink.lib"
"$llvm_dlltool" -m i386:x86-64 -d "$def" -D orxlink.dll -l "$out/lib/x64/orxlink.lib"

echo "SDK in $out"
