#!/usr/bin/env bash
# Benchmarks: orxlink against raw driver calls, same process, same emulated driver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
orx_testbed_up
wine "$root/build/win32/bin/orxlink_bench.exe" "$@"
