#!/usr/bin/env bash
# make fuzz: builds plugin_fuzzer with clang-14 into its own folder (plug-ins
# and testhost instrumented for coverage, ASan and UBSan) and runs it for the
# given number of seconds, from a working copy of the seed corpus. A finding
# is written to <build>/findings/ and fails the run; WAVETIDE_FUZZ_SHOW=1
# <build>/tests/fuzz/plugin_fuzzer <finding> prints the call as Octave spells it.
#   tests/fuzz/run.sh [build-dir] [seconds]
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$(dirname "$here")")

CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWAVETIDE_FUZZ=ON -DWAVETIDE_TESTS=OFF -DWAVETIDE_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target plugin_fuzzer
mkdir -p "$build/corpus" "$build/findings"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  "$build/tests/fuzz/plugin_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=60 \
  -print_final_stats=1 -artifact_prefix="$build/findings/" "$build/corpus" "$here/corpus"
