#!/usr/bin/env bash
# Builds the libFuzzer target over orxlink's driver answers with clang and runs it on a copy
# of its seed corpus.
# Usage: scripts/fuzz.sh [RUNS]   (executions, default one million)
# Crash artifacts go to build/fuzz/artifacts/, never into the source tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}

"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DORX_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/fuzz" --target orxlink_fuzz -j2

artifacts="$root/build/fuzz/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
cp "$root/fuzz/corpus"/* "$work"/
echo "== orxlink: $runs runs"
"$root/build/fuzz/fuzz/orxlink_fuzz" -runs="$runs" -max_len=2048 -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$artifacts/orxlink-" "$work"
rm -rf "$work"
