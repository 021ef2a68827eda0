#!/usr/bin/env bash
# Runs every test: the C++ kernel and plug-in tests of a build folder, then
# the Octave tests and help examples of its plug-ins, the same tests against
# plug-ins built by toolbox/build_plugins.m, and against the Octave package
# installed with pkg install. Ends with "N passed, M failed" (after a count
# of the tests skipped for want of python3-pywt, if any) and exits non-zero
# on any failure.
#   tests/run_all.sh [build-dir] [--cpp-only]
set -uo pipefail
build=${1:-build}
cpp_only=${2:-}
passed=0 failed=0 skipped=0

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

# count_octave <label> <octave code>: runs the code, shows its output and
# adds its closing "<label>: N passed, M failed" line (none: one failure).
count_octave() {
  local label=$1 out line p f s
  out=$(octave-cli --no-gui --norc -q --eval "$2" 2>&1)
  printf '%s\n' "$out" | grep -v 'ignoring const execution_exception'
  line=$(grep -E "^$label: [0-9]+ passed, [0-9]+ failed" <<<"$out" | tail -1)
  if [ -n "$line" ]; then
    p=$(awk '{print $2}' <<<"$line"); f=$(awk '{print $4}' <<<"$line")
    s=$(grep -oE '[0-9]+ skipped' <<<"$line" | grep -oE '[0-9]+' || echo 0)
  else
    p=0 f=1 s=0
  fi
  passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
}

if [ "$cpp_only" != "--cpp-only" ]; then
  here=$(cd "$(dirname "$0")" && pwd)
  root=$(dirname "$here")
  count_octave octave "addpath('$here'); run_octave_tests('$build/mex')"
  count_octave examples "addpath('$here'); run_help_examples('$build/mex')"

  # The plug-ins again, built by toolbox/build_plugins.m with Octave's mex
  # into a temporary folder, and the Octave tests against that folder.
  tmp=$(mktemp -d)
  echo "build_plugins into $tmp"
  count_octave octave "addpath('$root/toolbox'); build_plugins('$tmp'); \
                       addpath('$here'); run_octave_tests('$tmp')"
  rm -rf "$tmp"

  # The Octave package: pkg install into a temporary prefix, pkg load, and
  # every function's tests from the installed copy.
  if tarball=$("$root/package/make_package.sh" "$build"); then
    count_octave package "addpath('$here'); run_package_tests('$tarball', '$build')"
  else
    failed=$((failed + 1))
  fi
fi

[ "$skipped" -gt 0 ] && echo "$skipped skipped: an optional peer (python3-pywt) is missing"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
