#!/usr/bin/env bash
# make memcheck: the Octave tests (%!test, %!error) of every plug-in of a
# build folder, in one Octave under valgrind memcheck. Fails on any error
# valgrind reports: invalid read or write, use of uninitialised memory, bad
# free, or a leak. Octave's own leaks are suppressed by octave.supp, which
# cannot match a block allocated by plug-in code (see there). Also fails if
# a test fails. The log is <build>/memcheck.log.
#   tests/memcheck/run.sh [build-dir]
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
log=$build/memcheck.log

# The plug-ins are the .mex files of the build; each one's tests in turn.
out=$(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
        --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes --keep-debuginfo=yes \
        --num-callers=40 --suppressions="$here/octave.supp" --log-file="$log" \
        octave-cli --no-gui --norc -q --eval "
          addpath ('$build/mex');
          d = dir ('$build/mex/*.mex'); passed = 0; total = 0;
          for k = 1:numel (d)
            [~, name] = fileparts (d(k).name);
            [n, nmax] = test (name, 'quiet', stdout);
            printf ('  %-12s %3d of %3d\n', name, n, nmax);
            passed += n; total += nmax;
          endfor
          printf ('memcheck tests: %d passed, %d failed\n', passed, total - passed);" 2>&1)
printf '%s\n' "$out" | grep -v 'ignoring const execution_exception'

errors=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -1)
tests=$(grep -E '^memcheck tests: [1-9][0-9]* passed, 0 failed' <<<"$out")
if [ "${errors:-x}" != 0 ]; then
  # The first records that count, each from its first line to the end of its stack.
  grep -E '^==[0-9]+== ' "$log" |
    sed -n '/Invalid\|uninitialised\|Conditional jump\|free\|lost in loss record\|overlap\|fishy/,/^==[0-9]*== $/p' |
    head -n 300
  echo "memcheck: ${errors:-no} valgrind errors (log: $log)"
  exit 1
fi
[ -n "$tests" ] || { echo "memcheck: Octave tests failed (log: $log)"; exit 1; }
echo "memcheck: 0 valgrind errors"
