#!/usr/bin/python3
"""make bench rows of the trigonometric transforms: Fennick (DCT-II) and
Pimbrel (DST-II) timed from Octave as a user calls them, next to SciPy's
orthonormal DCT-II / DST-II and FFTW's REDFT10 (FFTW_MEASURE plan, compiled
here from bench/trig_fftw_peer.c against Debian's libfftw3), all timed in
this one run. Prints  work  size  wavetide_ms  peer  peer_ms  (medians of 7).

    bench/table_trig.py <build-dir>
"""
import os
import subprocess
import sys
import timeit

import numpy as np
import scipy.fft

REPEATS = 7
# n = 1: the cost of a call itself, the floor under every other row.
CASES = [("Fennick", 0), ("Fennick", 10), ("Fennick", 16), ("Fennick", 20), ("Pimbrel", 16)]


def signal(n):
    return np.sin(0.001 * np.arange(n)) + ((np.arange(n) * 7919) % 13) * 0.01


def octave_ms(build):
    lines = [f"addpath('{build}/mex');"]
    for name, e in CASES:
        lines.append(f"""
        n = 2^{e}; x = sin(0.001 * (0:n-1)) + mod((0:n-1) * 7919, 13) * 0.01;
        t = zeros(1, {REPEATS});
        for r = 1:{REPEATS}
          k = 0; tic;
          do y = {name}(x); k++; until toc > 0.05
          t(r) = toc / k;
        end
        printf('%.9g\\n', median(t) * 1e3);""")
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", "\n".join(lines)], check=True,
                         capture_output=True, text=True).stdout.split()
    return [float(v) for v in out[-len(CASES):]]


def scipy_ms(transform, e):
    x = signal(2 ** e)
    run = lambda: transform(x, type=2, norm="ortho")
    calls = max(1, int(0.05 / max(timeit.timeit(run, number=1), 1e-7)))
    return float(np.median(timeit.repeat(run, number=calls, repeat=REPEATS))) / calls * 1e3


def fftw_ms(build, exponents):
    here = os.path.dirname(os.path.abspath(__file__))
    exe = os.path.join(build, "bench", "trig_fftw_peer")
    subprocess.run(["cc", "-O2", "-o", exe, os.path.join(here, "trig_fftw_peer.c"), "-lfftw3", "-lm"], check=True)
    out = subprocess.run([exe] + [str(e) for e in exponents], check=True, capture_output=True, text=True).stdout
    return {int(n): float(t) * 1e3 for n, t in (line.split() for line in out.splitlines() if line)}


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    ours = octave_ms(build)
    fftw = fftw_ms(build, [16, 20])
    for (name, e), t in zip(CASES, ours):
        size = f"n=2^{e}"
        if name == "Fennick":
            print(f"{name}\t{size}\t{t:.4f}\tscipy dct type 2 ortho\t{scipy_ms(scipy.fft.dct, e):.4f}")
            if 2 ** e in fftw:
                print(f"{name}\t{size}\t{t:.4f}\tFFTW REDFT10, MEASURE plan\t{fftw[2 ** e]:.4f}")
        else:
            print(f"{name}\t{size}\t{t:.4f}\tscipy dst type 2 ortho\t{scipy_ms(scipy.fft.dst, e):.4f}")


if __name__ == "__main__":
    main()
