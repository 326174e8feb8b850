#!/usr/bin/env bash
# Configures and builds the native tree (build/host) and the Windows trees (build/win32,
# build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${ORX_JOBS:-2}

cmake -S "$root" -B "$root/build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/host" -j "$jobs"

cmake -S "$root" -B "$root/build/win32" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" --no-warn-unused-cli >/dev/null
cmake --build "$root/build/win32" -j "$jobs"

# 64-bit Windows: orxlink.dll and orxtool.exe for 64-bit client programs, the 64-bit
# evaluation driver, and their suites.
cmake -S "$root" -B "$root/build/win64" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" --no-warn-unused-cli >/dev/null
cmake --build "$root/build/win64" -j "$jobs"

# The SDK, the NSIS setup and the MSI packages, from both trees.
"$root/scripts/installer.sh"
