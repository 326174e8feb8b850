# Sourced by the scripts that run Windows programs: the project's own Wine prefix under
# build/, a persistent Wine server, and the emulated ORVEXA driver installed and running.
# orx_wine_begin starts all of it; orx_wine_end stops the server it started.
#
# ORX_WINE_ARCH picks the Windows: win32 (default; build/wineprefix, the 32-bit driver) or
# win64 (build/wineprefix64, the 64-bit driver, 32-bit programs under WOW64).

orx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH="${ORX_WINE_ARCH:-win32}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$WINEARCH" = win64 ]; then
  export WINEPREFIX="$orx_root/build/wineprefix64"
  orx_driver_sys="$orx_root/build/win64/bin/orvexa.sys"
else
  export WINEPREFIX="$orx_root/build/wineprefix"
  orx_driver_sys="$orx_root/build/win32/bin/orvexa.sys"
fi

# Windows in a Wine virtual desktop close in a fraction of the time they take on a bare X
# server, and get their captions drawn.
orx_wine_desktop() {
  grep -q '"Default"="1024x768"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
}

orx_wine_begin() {
  "$orx_root/testbed/wine/prefix.sh"
  orx_wine_desktop
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

# For the scripts that run the built programs: install what is missing, build, and bring
# the testbed up until the calling script exits.
orx_testbed_up() {
  "$orx_root/scripts/install-deps.sh"
  "$orx_root/scripts/build.sh" >/dev/null
  orx_wine_begin >/dev/null
  trap orx_wine_end EXIT
}
