#!/usr/bin/env bash
# Runs every test: the native suites, then the Windows suites under Wine against the
# emulated driver. Installs what is missing and builds first; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

echo "== native tests"
ctest --test-dir "$root/build/host" --output-on-failure -j2

echo "== the library's native suite under ThreadSanitizer"
cmake -S "$root" -B "$root/build/tsan" -DORX_TSAN=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/tsan" --target orxlink_host_tests -j2 >/dev/null
TSAN_OPTIONS=halt_on_error=1 "$root/build/tsan/tests/host/orxlink_host_tests" --gtest_brief=1

echo "== Windows tests under Wine"
"$root/scripts/wine-tests.sh"
