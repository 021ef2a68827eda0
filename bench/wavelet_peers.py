#!/usr/bin/python3
"""Plattigan and Wendlock / Unwendlock drivers next to PyWavelets.

  /usr/bin/python3 bench/wavelet_peers.py <build-dir>

Runs bench_wavelet_bench (square drivers at full depth, translation-invariant
drivers at depth 5) and, in the same run, times PyWavelets on the same sizes,
depths and filter lengths (2 taps: 'haar', 8 taps: 'db4'):
  Plattigan   vs pywt.wavedec2(X, w, mode='periodization', level=J)
  Wendlock    vs pywt.swt(x, w, level=5, trim_approx=True)
  Unwendlock  vs pywt.iswt(coeffs, w)
The translation-invariant pairs compute tables of the same size, n (D + 1)
values (all 2^D shift paths against the undecimated transform). The peer's
undecimated levels filter with the dilated filter, so its cost grows with
depth; at full depth it takes minutes for n = 2^18 and is not compared.
Ratios are our time over the peer's: below 1 means ours is faster.
"""
import json
import os
import subprocess
import sys
import timeit
import warnings

import numpy as np
import pywt

WAVELET = {2: "haar", 8: "db4"}
DEPTH = 5


def ours(build):
    exe = os.path.join(build, "bench", "bench_wavelet_bench")
    out = subprocess.run([exe, "--benchmark_format=json", "--benchmark_min_time=0.05",
                          "--benchmark_filter=BM_(Plattigan/|Wendlock/[0-9]+/[0-9]+/5$|Unwendlock/[0-9]+/[0-9]+/5$)"],
                         check=True, capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        name, n, taps = b["name"].split("/")[:3]
        times[(name[3:], int(n), int(taps))] = b["cpu_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
    return times


def best(run):
    reps = max(1, int(0.05 / max(timeit.timeit(run, number=1), 1e-6)))
    return min(timeit.repeat(run, number=reps, repeat=3)) / reps


def peer(name, n, taps):
    w = WAVELET[taps]
    J = n.bit_length() - 1
    if name == "Plattigan":
        X = np.sin(0.001 * np.arange(n * n)).reshape(n, n)
        return best(lambda: pywt.wavedec2(X, w, mode="periodization", level=J))
    x = np.sin(0.001 * np.arange(n))
    if name == "Wendlock":
        return best(lambda: pywt.swt(x, w, level=DEPTH, trim_approx=True))
    coeffs = pywt.swt(x, w, level=DEPTH, trim_approx=True)
    return best(lambda: pywt.iswt(coeffs, w))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    mine = ours(build)
    warnings.simplefilter("ignore")  # full depth is beyond PyWavelets' advised level
    print(f"{'transform':<11} {'n':>7} {'taps':>4} {'ours (ms)':>10} {'pywt (ms)':>10} {'ratio':>6}")
    for (name, n, taps), t in sorted(mine.items()):
        p = peer(name, n, taps)
        print(f"{name:<11} {n:>7} {taps:>4} {t * 1e3:>10.3f} {p * 1e3:>10.3f} {t / p:>6.2f}")


if __name__ == "__main__":
    main()
