# Sourced by the testbed scripts: `native_wine` runs a Wine program with the prefix's own
# bitness. In a 64-bit prefix a plain `wine sc` or `wine regedit` is the 32-bit program:
# sc would put a 64-bit driver into a 32-bit driver host, and regedit writes HKLM\Software
# into the 32-bit view (Wow6432Node), which Wine's own services do not read.
# The bitness is WINEARCH's when it is set (a prefix still to be made), else the prefix's.
if [ "${WINEARCH:-}" = win64 ] ||
    { [ -z "${WINEARCH:-}" ] && grep -q '^#arch=win64' "$WINEPREFIX/system.reg" 2>/dev/null; }; then
    native_wine() { /usr/lib/wine/wine64 "$@"; }
else
    native_wine() { wine "$@"; }
fi
