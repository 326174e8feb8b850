#!/usr/bin/env bash
# Benchmarks: orxlink against raw driver calls, same process, same emulated driver.
# With ORX_WINE_ARCH=win64 it runs in the 64-bit prefix, once through the 32-bit library
# (WOW64) and once through the 64-bit one. Arguments: [QUERIES [ROUNDS]].
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
orx_testbed_up
echo "-- 32-bit orxlink ($WINEARCH Windows)"
wine "$root/build/win32/bin/orxlink_bench.exe" "$@"
if [ "$WINEARCH" = win64 ]; then
  echo "-- 64-bit orxlink"
  wine "$root/build/win64/bin/orxlink_bench.exe" "$@"
fi
