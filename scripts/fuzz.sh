#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it on a copy of the seed corpus.
# Usage: scripts/fuzz.sh [RUNS]   (default one million executions)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DORX_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/fuzz" --target orxlink_fuzz -j2
work=$(mktemp -d)
cp "$root"/fuzz/corpus/* "$work"/
"$root/build/fuzz/fuzz/orxlink_fuzz" -runs="$runs" -max_len=2048 -rss_limit_mb=2048 "$work"
