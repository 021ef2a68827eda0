#!/usr/bin/env bash
# Runs every test: the C++ kernel and plug-in tests of a build folder, then
# the Octave tests of its plug-ins. Ends with "N passed, M failed" and exits
# non-zero on any failure.
#   tests/run_all.sh [build-dir] [--cpp-only]
set -uo pipefail
build=${1:-build}
cpp_only=${2:-}
passed=0 failed=0

for t in "$build"/tests/kernel_* "$build"/tests/plugin_*; do
  [ -x "$t" ] || continue
  out=$("$t" --gtest_brief=1 2>&1); rc=$?
  p=$(grep -oE '\[  PASSED  \] [0-9]+' <<<"$out" | grep -oE '[0-9]+$' || echo 0)
  f=$(grep -oE '\[  FAILED  \] [0-9]+ test' <<<"$out" | grep -oE '[0-9]+' || echo 0)
  if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi   # a crash counts as a failure
  [ "$rc" -ne 0 ] && printf '%s\n' "$out"
  printf '  %-40s %3d passed, %d failed\n' "$(basename "$t")" "$p" "$f"
  passed=$((passed + p)) failed=$((failed + f))
done

if [ "$cpp_only" != "--cpp-only" ]; then
  out=$(octave-cli --no-gui --norc -q --eval \
        "addpath('$(dirname "$0")'); run_octave_tests('$build/mex')" 2>&1)
  printf '%s\n' "$out" | grep -v 'ignoring const execution_exception'
  line=$(grep -E '^octave: [0-9]+ passed, [0-9]+ failed' <<<"$out" | tail -1)
  if [ -n "$line" ]; then
    p=$(awk '{print $2}' <<<"$line"); f=$(awk '{print $4}' <<<"$line")
  else
    p=0 f=1
  fi
  passed=$((passed + p)) failed=$((failed + f))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
