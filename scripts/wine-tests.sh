#!/usr/bin/env bash
# The Windows suites under Wine, on both Windows architectures: an X server of our own
# (Xvfb) when there is no display, then for each prefix the emulated driver and ctest.
#   win32: a 32-bit Windows, the 32-bit tree (build/win32).
#   win64: a 64-bit Windows with the 64-bit driver; the 32-bit tree again under WOW64, then
#          the 64-bit tree (build/win64).
# ORX_WINE_ARCHS chooses the prefixes (default "win32 win64"); extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

run_prefix() { # arch, ctest arguments...
  local arch=$1
  shift
  (
    export ORX_WINE_ARCH=$arch
    . "$root/scripts/wine-session.sh"
    orx_wine_begin >/dev/null
    trap orx_wine_end EXIT
    echo "== $arch Windows: 32-bit programs"
    ctest --test-dir "$root/build/win32" --output-on-failure "$@"
    if [ "$arch" = win64 ]; then
      echo "== $arch Windows: 64-bit programs"
      ctest --test-dir "$root/build/win64" --output-on-failure "$@"
    fi
  )
}

for arch in ${ORX_WINE_ARCHS:-win32 win64}; do
  run_prefix "$arch" "$@"
done
