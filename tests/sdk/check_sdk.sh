#!/usr/bin/env bash
# Lays out the SDK with scripts/sdk.sh in a scratch folder and checks it: every file in
# place; each import library imports the 66 functions of orxlink.def by their ordinals, by
# name only GetDLLVersion (49) and orvexa_rndm_get_handle (60), for its own machine, read
# from the library and from a program linked against it; the reference documents every
# export with its ordinal and every status name as the library has it; the header declares
# every export beside its ordinal.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}

sdk=$work/sdk
"$root/scripts/sdk.sh" "$sdk" >/dev/null || { echo "FAIL: scripts/sdk.sh"; exit 1; }
for f in include/orxlink.h lib/orxlink.def lib/x86/liborxlink.a lib/x86/orxlink.lib \
  lib/x64/liborxlink.a lib/x64/orxlink.lib docs/orxlink.md examples/README.md \
  examples/print_info.c examples/seed_and_draw.c examples/read_item.c; do
  [ -s "$sdk/$f" ] || fail "the SDK lacks $f"
done

# "ORDINAL NAME ordinal|name" for each export of the .def.
exports=$(sed -n 's/^ *\([A-Za-z_0-9]*\) @\([0-9]*\)\(.*\)$/\2 \1 \3/p' "$root/orxlink/orxlink.def" |
  awk '{print $1, $2, ($3 == "NONAME" ? "ordinal" : "name")}' | sort -n)
[ "$(wc -l <<<"$exports")" -eq 66 ] || fail "orxlink.def lists $(wc -l <<<"$exports") exports, not 66"
[ "$(grep -c ' name$' <<<"$exports")" -eq 2 ] &&
  grep -qx '49 GetDLLVersion name' <<<"$exports" &&
  grep -qx '60 orvexa_rndm_get_handle name' <<<"$exports" ||
  fail "orxlink.def exports by name other functions than GetDLLVersion and orvexa_rndm_get_handle"

# The import libraries, read directly.
for lib in x86/liborxlink.a x86/orxlink.lib x64/liborxlink.a x64/orxlink.lib; do
  machine=i386
  [ "${lib%%/*}" = x64 ] && machine=x86-64
  got=$(python3 "$root/tests/sdk/import_table.py" "$sdk/lib/$lib" 2>&1)
  diff <(sed "s/^/$machine /" <<<"$exports") <(echo "$got") >"$work/diff" ||
    fail "lib/$lib imports differ from orxlink.def ($machine):$(head -20 "$work/diff")"
done

# A program that references every export, linked against each library: its import table.
probe=$work/probe.c
{
  echo '#include "orxlink.h"'
  echo 'void* const orx_all[] = {'
  awk '{print "    (void*)&" $2 ","}' <<<"$exports"
  echo '};'
  echo 'int start(void) { return orx_all[0] != 0; }'
} >"$probe"
linked_imports() { # EXE: "ORDINAL" or "ORDINAL NAME" per import from orxlink.dll
  llvm-readobj-14 --coff-imports "$1" 2>/dev/null || llvm-readobj --coff-imports "$1"
}
expected_imports=$(awk '{print ($3 == "name" ? $2 " (" $1 ")" : " (" $1 ")")}' <<<"$exports" | sort)
check_probe() { # WHAT EXE
  local got
  got=$(linked_imports "$2" | sed -n 's/^ *Symbol: \(.*\)$/\1/p' | sort)
  [ "$got" = "$expected_imports" ] || fail "$1: the linked program's imports differ:
$(diff <(echo "$expected_imports") <(echo "$got") | head -10)"
}
for arch in x86 x64; do
  cc=i686-w64-mingw32-gcc entry=_start
  [ $arch = x64 ] && cc=x86_64-w64-mingw32-gcc entry=start
  for lib in liborxlink.a orxlink.lib; do
    exe=$work/probe-$arch-${lib%%.*}.exe
    if $cc -I"$sdk/include" -nostdlib -e $entry -o "$exe" "$probe" "$sdk/lib/$arch/$lib"; then
      check_probe "$arch $lib with the MinGW linker" "$exe"
    else
      fail "$arch $lib: the MinGW linker refuses it"
    fi
  done
  # The Microsoft-style link, where clang and lld-link are at hand.
  if command -v clang >/dev/null && command -v lld-link >/dev/null; then
    target=i686-pc-windows-msvc
    [ $arch = x64 ] && target=x86_64-pc-windows-msvc
    exe=$work/probe-$arch-msvc.exe
    if clang --target=$target -I"$sdk/include" -c "$probe" -o "$work/probe-$arch.obj" &&
      lld-link /nologo /entry:start /subsystem:console /nodefaultlib /out:"$exe" \
        "$work/probe-$arch.obj" "$sdk/lib/$arch/orxlink.lib"; then
      check_probe "$arch orxlink.lib with lld-link" "$exe"
    else
      fail "$arch orxlink.lib: lld-link refuses it"
    fi
  fi
done

# The reference: each export in a row "| ORDINAL | `NAME` |", once; no unknown name.
doc=$sdk/docs/orxlink.md
header=$(tr -s ' \n' ' ' <"$sdk/include/orxlink.h")
while read -r ordinal name _; do
  rows=$(grep -c "^| $ordinal | \`$name\` |" "$doc")
  [ "$rows" -eq 1 ] || fail "docs/orxlink.md has $rows rows for $name ($ordinal), not 1"
  grep -Eq "ORXAPI $name\([^;]*\); /\* $ordinal[ :]" <<<"$header" ||
    fail "orxlink.h does not declare $name with its ordinal $ordinal"
done <<<"$exports"
for name in $(grep -o '`orvexa_[a-z0-9_]*`' "$doc" | tr -d '`' | sort -u); do
  case "$name" in orvexa_drv_info | orvexa_request_header) continue ;; esac
  grep -q " $name " <<<"$exports" || fail "docs/orxlink.md names $name, which orxlink.def lacks"
done

# The reference's status table against the library's names (codes 1 to 51, then 54).
names=$(sed -n '/const status_names\[/,/^};/p' "$root/orxlink/status.cpp" | grep -o '"[A-Z_0-9]*"' |
  tr -d '"' | awk '$0 != "" {print}')
code=1
for name in $names; do
  [ $code -eq 52 ] && code=54
  grep -q "^| $code | \`$name\` |" "$doc" || fail "docs/orxlink.md lacks status $code $name"
  code=$((code + 1))
done

[ $failed -eq 0 ] && echo "SDK: 4 import libraries with 66 ordinals each, reference and header complete"
exit $failed
