#!/usr/bin/env bash
# Every resource of orxload.exe and its language modules (strings, dialog 101 with each
# control's class, id, style and text, menu 109, icon 114, version, manifest) as windres
# decompiles it, Russian text as UTF-8 and the icons' bytes left out, against the golden file
# made the same way from the built binaries (ORX_UPDATE_GOLDEN=1 rewrites it). A script
# compiled with the wrong code page, its Russian text garbled, differs.
#   check_resources.sh WINDRES GOLDEN BINARY...
set -euo pipefail
windres=$1 golden=$2
shift 2
dump() {
  for binary in "$@"; do
    echo "== ${binary##*/}"
    "$windres" -i "$binary" -O rc | sed '/^ *0x/d' | perl -CS -pe 's/\\x([0-9a-f]{4})/chr hex $1/ge'
  done
}
if [ -n "${ORX_UPDATE_GOLDEN:-}" ]; then
  dump "$@" >"$golden"
else
  dump "$@" | diff -u "$golden" -
fi
