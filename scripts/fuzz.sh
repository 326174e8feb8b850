#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on a copy of its seed corpus.
# Usage: scripts/fuzz.sh [RUNS] [TARGET]
#   RUNS    executions per target (default one million)
#   TARGET  orxlink (driver answers), orxload (the loader's outside inputs) or all (default)
# Crash artifacts go to build/fuzz/artifacts/, never into the source tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
target=${2:-all}
case "$target" in
  orxlink) targets=(orxlink) ;;
  orxload) targets=(orxload) ;;
  all) targets=(orxlink orxload) ;;
  *) echo "unknown target '$target' (orxlink, orxload or all)" >&2; exit 2 ;;
esac

"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DORX_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/fuzz" --target "${targets[@]/%/_fuzz}" -j2

artifacts="$root/build/fuzz/artifacts"
mkdir -p "$artifacts"
for t in "${targets[@]}"; do
  case "$t" in
    orxlink) corpus="$root/fuzz/corpus" ;;
    orxload) corpus="$root/fuzz/loader_corpus" ;;
  esac
  work=$(mktemp -d)
  cp "$corpus"/* "$work"/
  echo "== $t: $runs runs"
  "$root/build/fuzz/fuzz/${t}_fuzz" -runs="$runs" -max_len=2048 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$artifacts/$t-" "$work"
  rm -rf "$work"
done
