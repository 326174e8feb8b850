#!/bin/sh
# Creates the Wine prefix $WINEPREFIX when it does not exist yet, 32-bit unless WINEARCH
# says win64; an existing prefix is left as it is. Run it before starting the persistent `wineserver -p`.
#
#   prefix.sh [--null-graphics]
#
# --null-graphics switches Wine to its null graphics driver (windows and message boxes work,
# nothing is drawn, no X display needed); without it the graphics setting is not touched.
set -eu

: "${WINEPREFIX:?set WINEPREFIX to the prefix directory}"
export WINEPREFIX
export WINEARCH="${WINEARCH:-win32}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

null_graphics=0
for arg in "$@"; do
    case "$arg" in
    --null-graphics) null_graphics=1 ;;
    *)
        echo "usage: prefix.sh [--null-graphics]" >&2
        exit 1
        ;;
    esac
done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i
    # The Windows that people run: a program with a compatibility manifest is told 10.0,
    # one without it 6.2, as on Windows 10 and 11.
    . "$(dirname "$0")/native-wine.sh"
    native_wine winecfg -v win10
    wineserver -w
fi

# Wine's own fonts (Debian package fonts-wine) are not searched where Debian puts them:
# without Marlett the caption buttons come out as the letters "0 1 r".
for font in /usr/share/wine/fonts/*.ttf; do
    [ -f "$font" ] || continue
    target="$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")"
    [ -f "$target" ] || cp "$font" "$target"
done

if [ "$null_graphics" = 1 ]; then
    if ! wine reg query 'HKCU\Software\Wine\Drivers' /v Graphics 2>/dev/null | grep -qi 'null'; then
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
        # the server and its desktop process keep the old driver until they restart
        wineserver -k
    fi
fi
