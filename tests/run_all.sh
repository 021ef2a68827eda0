#!/usr/bin/env bash
# Runs every test suite of a build folder and prints one line per suite:
#   C++ kernel tests, C++ plug-in tests (GoogleTest; one binary per source
#     in tests/kernels and tests/plugins, a missing one fails),
#   Octave tests (%!test/%!error of every toolbox file and tests/octave/*.m,
#     every plug-in of plugins.list present), help examples (shown values compared),
#   the Octave tests against a build_plugins build and against the package
#     installed with pkg install (each one check: the run passes or fails
#     whole), SciPy cross-checks (one check per tests/scipy/*.py).
# Details go to <build>/logs/check-*.log; a failing suite shows the tail of
# its log. Ends with "N passed, M failed, K skipped", N counting distinct
# checks, and exits non-zero on any failure or on a suite that ran nothing.
# --cpp-only runs the two C++ suites only, --plugins-only the plug-in tests.
# WAVETIDE_RUNNER, if set, is the command that runs each C++ test binary
# (an emulator for a cross build: "qemu-aarch64 -L /usr/aarch64-linux-gnu",
# or "wine64" for a Windows build, whose binaries end in .exe).
#   tests/run_all.sh [build-dir] [--cpp-only | --plugins-only]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-build}" && pwd) || exit 1
mode=${2:-}
logs=$build/logs
mkdir -p "$logs"
passed=0 failed=0 skipped=0
read -r -a runner <<< "${WAVETIDE_RUNNER:-}"

# report <suite> <log> <passed> <failed> [skipped] [note]: the suite's line;
# a suite that ran nothing fails.
report() {
  local suite=$1 log=$2 p=$3 f=$4 s=${5:-0} note=${6:-}
  if [ $((p + f + s)) -eq 0 ]; then
    echo "ran nothing" >> "$log"; f=1
  fi
  printf '  %-38s %4d passed, %d failed, %d skipped%s\n' "$suite" "$p" "$f" "$s" "$note"
  if [ "$f" -gt 0 ]; then
    tail -n 30 "$log" | sed 's/^/    | /'
    echo "    (full log: $log)"
  fi
  passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
}

# gtest_suite <suite> <prefix> <source folder>: the binary of every test
# source, with GoogleTest's own counts.
gtest_suite() {
  local suite=$1 prefix=$2 log=$logs/check-$2.log p=0 f=0 s=0 src t out rc n missing=""
  : > "$log"
  for src in "$root/tests/$3"/*_test.cpp; do
    t=$build/tests/${prefix}_$(basename "$src" .cpp)
    [ -f "$t.exe" ] && t=$t.exe
    if [ ! -x "$t" ]; then
      missing+="missing test binary $t"$'\n'; f=$((f + 1)); continue
    fi
    out=$("${runner[@]}" "$t" --gtest_brief=1 2>&1); rc=$?
    printf '%s\n' "$out" >> "$log"
    n=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?.*/\1/p' <<<"$out"); p=$((p + ${n:-0}))
    n=$(sed -nE 's/^\[  SKIPPED \] ([0-9]+) tests?.*/\1/p' <<<"$out"); s=$((s + ${n:-0}))
    n=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?.*/\1/p' <<<"$out")
    [ "$rc" -ne 0 ] && [ "${n:-0}" -eq 0 ] && n=1      # a crash counts as a failure
    f=$((f + ${n:-0}))
  done
  printf '%s' "$missing" >> "$log"
  report "$suite" "$log" "$p" "$f" "$s"
}

# octave_run <log> <label> <code>: runs the code into the log and sets p f s
# from its closing "<label>: N passed, M failed[, K skipped]" line (none: one
# failure).
octave_run() {
  local log=$1 line
  octave-cli --no-gui --norc -q --eval "$3" > "$log" 2>&1
  line=$(grep -E "^$2: [0-9]+ passed, [0-9]+ failed" "$log" | tail -1)
  if [ -n "$line" ]; then
    read -r p f s < <(sed -E 's/^[a-z]+: ([0-9]+) passed, ([0-9]+) failed(, ([0-9]+) skipped)?.*/\1 \2 \4/' <<<"$line")
    s=${s:-0}
  else
    p=0 f=1 s=0
  fi
}

# whole_suite <suite> <log> <label> <code>: a re-run of tests counted once.
whole_suite() {
  local p f s
  octave_run "$2" "$3" "$4"
  if [ "$f" -eq 0 ] && [ "$p" -gt 0 ]; then
    report "$1" "$2" 1 0 0 " ($p tests)"
  else
    report "$1" "$2" 0 1 0 " ($p tests passed, $f failed)"
  fi
}

[ "$mode" = "--plugins-only" ] || gtest_suite "C++ kernel tests" kernel kernels
gtest_suite "C++ plug-in tests" plugin plugins

if [ "$mode" != "--cpp-only" ] && [ "$mode" != "--plugins-only" ]; then
  octave_run "$logs/check-octave.log" octave \
    "addpath('$here'); run_octave_tests('$build/mex', '$root/plugins.list', '$here/octave')"
  report "Octave tests" "$logs/check-octave.log" "$p" "$f" "$s"

  octave_run "$logs/check-examples.log" examples "addpath('$here'); run_help_examples('$build/mex')"
  report "help examples" "$logs/check-examples.log" "$p" "$f" "$s"

  # The plug-ins built by toolbox/build_plugins.m with Octave's mex.
  tmp=$(mktemp -d "$build/build_plugins.XXXXXX")
  whole_suite "Octave tests, build_plugins build" "$logs/check-build_plugins.log" octave \
    "addpath('$root/toolbox'); build_plugins('$tmp'); addpath('$here'); \
     run_octave_tests('$tmp', '$root/plugins.list')"
  rm -rf "$tmp"

  # The Octave package: pkg install -local into a temporary prefix.
  log=$logs/check-package.log
  if tarball=$("$root/package/make_package.sh" "$build" 2> "$log"); then
    whole_suite "Octave tests, installed package" "$log" package \
      "addpath('$here'); run_package_tests('$tarball', '$build')"
  else
    report "Octave tests, installed package" "$log" 0 1
  fi

  log=$logs/check-scipy.log p=0 f=0
  : > "$log"
  for script in "$here"/scipy/*.py; do
    if /usr/bin/python3 "$script" "$build" >> "$log" 2>&1; then p=$((p + 1)); else f=$((f + 1)); fi
  done
  report "SciPy cross-checks" "$log" "$p" "$f"
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
