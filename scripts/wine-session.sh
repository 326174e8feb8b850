# Sourced by the scripts that run Windows programs: the project's own Wine prefix under
# build/, a persistent Wine server, and the emulated ORVEXA driver installed and running.
# orx_wine_begin starts all of it; orx_wine_end stops the server it started.

orx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$orx_root/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
orx_driver_sys="$orx_root/build/win32/bin/orvexa.sys"

orx_wine_begin() {
  "$orx_root/testbed/wine/prefix.sh"
  # Drive types are read when the server starts: the stand-ins' drives come first.
  "$orx_root/testbed/wine/standins.sh" install "$orx_root/build/win32/bin"
  wineserver -w
  wineserver -p
  "$orx_root/testbed/wine/driver-service.sh" install "$orx_driver_sys"
  "$orx_root/testbed/wine/driver-service.sh" start
}

orx_wine_end() {
  "$orx_root/testbed/wine/driver-service.sh" stop >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
}
