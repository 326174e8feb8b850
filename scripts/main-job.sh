#!/usr/bin/env bash
# The main job on the emulated testbed: the ORVEXA driver runs as a kernel service under
# Wine and orxtool, through orxlink.dll, reports the driver's state and the library version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null

. "$root/scripts/wine-session.sh"
orx_wine_begin >/dev/null
trap orx_wine_end EXIT
wine "$root/build/win32/bin/orxtool.exe" info
