#!/usr/bin/python3
"""make bench rows of the plug-ins that split a call over threads: each call
timed from Octave on every core of the machine, next to the same call on one
thread (OMP_NUM_THREADS=1, which nproc ("overridable") and so the plug-ins
honour), the two alternating in one loop so that a change of load hits both.
Each output is cleared after its call: a call made while the previous output
still lives can take a third longer (Plattigan 1024^2: 4.6 against 3.5 ms
for the same call), whichever thread count it has.

    bench/table_threads.py <build-dir>

Prints rows  work TAB size TAB wavetide_ms TAB peer TAB peer_ms  (medians),
the ratio being all cores / one thread. A last row shows what making an
output of 1024^2 doubles costs the host (Octave's zeros), which no thread
can share.
"""
import os
import subprocess
import sys

from timing import row

REPEATS = 21

# (work, size, setup, call)
CASES = [
    ("Plattigan, 8 taps, full depth", f"{n}^2", f"X = reshape(sin(0.001 * (1:{n * n})), {n}, {n});",
     "r = Plattigan(X, 0, h)") for n in (128, 256, 512, 1024)
] + [
    ("Unplattigan, 8 taps, full depth", "1024^2", "X = reshape(sin(0.001 * (1:2^20)), 1024, 1024);",
     "r = Unplattigan(X, 0, h)"),
] + [
    ("Wendlock, 8 taps, 9 levels", f"2^{e}", f"x = sin(0.001 * (1:2^{e}));", f"r = Wendlock(x, {e - 9}, h)")
    for e in (12, 15, 18)
] + [
    ("Unwendlock, 8 taps, 9 levels", "2^18", "T = Wendlock(sin(0.001 * (1:2^18)), 9, h);", "r = Unwendlock(T, h)"),
] + [
    ("Jostrane, 8 taps, full depth, columns", f"2^12 x {c}", f"X = reshape(sin(0.001 * (1:{4096 * c})), 4096, {c});",
     "r = Jostrane(X, 0, h)") for c in (4, 32, 256)
] + [
    ("Unjostrane, 8 taps, full depth, columns", "2^12 x 256", "X = reshape(sin(0.001 * (1:2^20)), 4096, 256);",
     "r = Unjostrane(X, 0, h)"),
    ("Morrowel, cdf 9/7, full depth, columns", "2^12 x 256", "X = reshape(sin(0.001 * (1:2^20)), 4096, 256);",
     "r = Morrowel(X, 0, g, gd)"),
    ("packettable, 8 taps, 9 levels", "2^18", "x = sin(0.001 * (1:2^18))';", "r = packettable(x, 9, h)"),
    ("Tessaroy, 8 taps, 9 levels", "2^18", "T = packettable(sin(0.001 * (1:2^18))', 9, h);",
     "r = Tessaroy(T, h)"),
    ("Orrimac, 6 levels", "2^16", "x = sin(0.001 * (1:2^16));", "r = Orrimac(x, 6, h)"),
    ("Unorrimac, 6 levels", "2^16", "T = Orrimac(sin(0.001 * (1:2^16)), 6, h);", "r = Unorrimac(T)"),
] + [
    (f"{name}, L = 1, D = 2", "3^12", f"x = {signal};", f"r = {name}(x, 1, 2)")
    for name, signal in (("Brontal", "sin(0.001 * (1:3^12))"), ("Drassock", "sin(0.001 * (1:3^12))"),
                         ("Unbrontal", "Brontal(sin(0.001 * (1:3^12)), 1, 2)"),
                         ("Undrassock", "Drassock(sin(0.001 * (1:3^12)), 1, 2)"))
]


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    cores = os.cpu_count() or 1
    lines = [f"addpath('{os.path.join(build, 'mex')}');",
             "h = orthofilter('Daubechies', 8); [g, gd] = biorthofilter('cdf', 9, 7);",
             f"cores = '{cores}';"]
    for i, (_, _, setup, call) in enumerate(CASES):
        lines.append(
            f"{setup} t = zeros(2, {REPEATS});"
            f"for rep = 0:{REPEATS}, for k = 1:2,"
            f"  if k == 1, setenv('OMP_NUM_THREADS', cores); else, setenv('OMP_NUM_THREADS', '1'); end;"
            f"  t0 = tic; {call}; if rep > 0, t(k, rep) = toc(t0); end; clear r;"
            f"end; end;"
            f"printf('%d\\t%.6f\\t%.6f\\n', {i}, 1e3 * median(t(1, :)), 1e3 * median(t(2, :)));")
    lines.append(f"t = zeros(1, {REPEATS}); for rep = 1:{REPEATS}, t0 = tic; z = zeros(1024); t(rep) = toc(t0); end;"
                 "printf('zeros\\t%.6f\\n', 1e3 * median(t));")
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", "\n".join(lines)],
                         check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        f = line.split("\t")
        if f[0] == "zeros":
            row("the host making a 1024^2 output (zeros)", "1024^2", float(f[1]), "(no peer)", 0)
        elif len(f) == 3:
            work, size, _, _ = CASES[int(f[0])]
            row(f"{work}, {cores} threads", size, float(f[1]), "the same call on 1 thread", float(f[2]))


if __name__ == "__main__":
    main()
