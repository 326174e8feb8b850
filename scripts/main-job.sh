#!/usr/bin/env bash
# The main job on the emulated testbed: the ORVEXA driver runs as a kernel service under
# Wine with an empty generator; orxload, started unattended with "I" and automatic
# initialisation from the (stand-in) Akkord device, seeds the generator and loads the keys
# of the sample floppy in A:. orxtool then reads the driver's state back through orxlink.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

. "$root/scripts/wine-session.sh"
orx_testbed_up
bin="$root/build/win32/bin"

wine "$bin/orvexa_ctl.exe" reset >/dev/null
wine reg add 'HKCU\SOFTWARE\DEZURE\Cryptography\orxload' /v DefaultKeyDev /d 'A:\' /f >/dev/null
wine reg add 'HKCU\SOFTWARE\DEZURE\Cryptography\orxload' /v RNGAutoDev /d 'TM:A4.P' /f >/dev/null

echo "== orxload I   (key device A:\\, generator from Akkord)"
set +e
wine "$bin/orxload.exe" I
code=$?
set -e
echo "exit code: $code"
echo
echo "== the driver afterwards, through orxlink"
wine "$bin/orxtool.exe" info
echo
wine "$bin/orxtool.exe" slots
exit "$code"
