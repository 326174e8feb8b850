#!/usr/bin/env bash
# Benchmarks: orxlink against raw driver calls, same process, same emulated driver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
. "$root/scripts/wine-session.sh"
orx_wine_begin >/dev/null
trap orx_wine_end EXIT
wine "$root/build/win32/bin/orxlink_bench.exe" "$@"
