#!/usr/bin/env bash
# The Windows suites under Wine: an X server of our own (Xvfb) when there is no display,
# the emulated driver, then ctest in build/win32. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
. "$root/scripts/wine-session.sh"
orx_wine_begin >/dev/null
trap orx_wine_end EXIT
# The main-window suite leaves screenshots of both views, in both languages, here.
mkdir -p "$root/build/screenshots"
ORX_SCREENSHOT_DIR="Z:$(printf '%s' "$root/build/screenshots" | sed 's|/|\\|g')"
export ORX_SCREENSHOT_DIR
ctest --test-dir "$root/build/win32" --output-on-failure "$@"
