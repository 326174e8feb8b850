#!/usr/bin/env bash
# Checks orxlink.dll's export table: exactly the expected ordinals are exported, and only
# GetDLLVersion and orvexa_rndm_get_handle also by name.
set -euo pipefail
dll=$1
shift
expected=$(printf '%s\n' "$@" | sort -n)

# The x86-64 objdump reads both PE32 and PE32+ images.
dump=$(x86_64-w64-mingw32-objdump -p "$dll")
exported=$(printf '%s\n' "$dump" |
  sed -n 's/^\s*\[ *[0-9]*\] +base\[ *\([0-9]*\)\] *\([0-9a-f]*\) Export RVA.*/\1 \2/p' |
  awk '$2 != "0" && $2 !~ /^0+$/ {print $1}' | sort -n)
names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)

fail=0
if [ "$exported" != "$expected" ]; then
  echo "exported ordinals differ from the expected ones:"
  diff <(echo "$expected") <(echo "$exported") || true
  fail=1
fi
for n in $names; do
  case "$n" in
    GetDLLVersion | orvexa_rndm_get_handle) ;;
    *) echo "unexpected export by name: $n"; fail=1 ;;
  esac
done
grep -qx GetDLLVersion <<<"$names" || { echo "GetDLLVersion is not exported by name"; fail=1; }

[ $fail -eq 0 ] && echo "export table: $(echo "$exported" | wc -l) ordinals; by name: $(echo $names)"
exit $fail
