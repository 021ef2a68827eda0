#!/usr/bin/env bash
# make bench: one table of the plug-ins timed from Octave, as a user calls
# them, next to a peer timed in the same run.
#
# Every executable bench/table_<subsystem>.* is run with the build folder as
# its argument and prints rows of five tab-separated fields:
#   work  size  wavetide_ms  peer  peer_ms
# (medians of repeated calls). This script adds the ratio wavetide / peer.
# The Google Benchmark programs of the kernels run first, with --kernels.
set -euo pipefail
build=${1:-build}
here=$(dirname "$0")
if [ "${2:-}" = "--kernels" ]; then
  for b in "$build"/bench/bench_*; do
    [ -x "$b" ] && "$b" --benchmark_counters_tabular=true
  done
fi
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; $(date -u +%F)"
printf '%-44s %-14s %12s  %-44s %12s %7s\n' work size "wavetide ms" peer "peer ms" ratio
for s in "$here"/table_*; do
  [ -x "$s" ] || continue
  "$s" "$build"
done | awk -F'\t' 'NF == 5 {
  if ($5 > 0) printf "%-44s %-14s %12.3f  %-44s %12.3f %7.2f\n", $1, $2, $3, $4, $5, $3 / $5
  else printf "%-44s %-14s %12.3f  %-44s %12s %7s\n", $1, $2, $3, $4, "-", "-" }'
