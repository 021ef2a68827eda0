#!/usr/bin/env bash
# Runs every benchmark of a build folder, then the peer comparison scripts.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] && "$b" --benchmark_counters_tabular=true
done
for s in "$(dirname "$0")"/*_peers.py; do
  [ -f "$s" ] && /usr/bin/python3 "$s" "$build"
done
exit 0
