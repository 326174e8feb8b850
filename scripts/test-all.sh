#!/usr/bin/env bash
# Runs every test: the native suites, then the Windows suites under Wine against the
# emulated driver. Installs what is missing and builds first; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

echo "== native tests"
ctest --test-dir "$root/build/host" --output-on-failure -j2

echo "== Windows tests under Wine"
. "$root/scripts/wine-session.sh"
orx_wine_begin
trap orx_wine_end EXIT
ctest --test-dir "$root/build/win32" --output-on-failure
