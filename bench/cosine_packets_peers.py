#!/usr/bin/python3
"""Time per column of the cosine-packet drivers next to SciPy's DCT-IV.

  /usr/bin/python3 bench/cosine_packets_peers.py <build-dir>

Runs bench_cosine_packets_bench (Orrimac and Unorrimac drivers) and, in the
same run, times scipy.fft.dct(..., type=4, norm='ortho') over the same
blocks: level d of a signal of n values is 2^d blocks of n/2^d, one batched
call per level. Ours also folds (or unfolds) every block; SciPy's does not.
"""
import json
import os
import subprocess
import sys
import timeit

import numpy as np
from scipy.fft import dct


def ours(build):
    exe = os.path.join(build, "bench", "bench_cosine_packets_bench")
    out = subprocess.run([exe, "--benchmark_format=json", "--benchmark_min_time=0.05"], check=True,
                         capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        name, n, D = b["name"].split("/")
        times[(name, int(n), int(D))] = b["per_column"]
    return times


def scipy_per_column(n, D):
    x = np.sin(0.001 * np.arange(n) * (1.0 + 0.0005 * np.arange(n)))
    blocks = [x.reshape(1 << d, n >> d) for d in range(D + 1)]
    run = lambda: [dct(b, type=4, norm="ortho", axis=1) for b in blocks]
    reps = max(1, int(0.05 / max(timeit.timeit(run, number=1), 1e-6)))
    return min(timeit.repeat(run, number=reps, repeat=3)) / reps / (D + 1)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    t = ours(build)
    print("cosine packets, time per column (one level): ours vs scipy.fft.dct type 4 ortho on the same blocks")
    print(f"{'n':>8} {'D':>3} {'Orrimac':>11} {'Unorrimac':>11} {'scipy':>11} {'ratio':>7}")
    for (name, n, Darg) in sorted((k for k in t if k[0] == "BM_Orrimac"), key=lambda k: (k[1], k[2] < 0, k[2])):
        D = Darg if Darg >= 0 else n.bit_length() - 1
        peer = scipy_per_column(n, D)
        a, s = t[(name, n, Darg)], t[("BM_Unorrimac", n, Darg)]
        print(f"{n:>8} {D:>3} {a * 1e6:>9.1f}us {s * 1e6:>9.1f}us {peer * 1e6:>9.1f}us {a / peer:>6.1f}x")


if __name__ == "__main__":
    main()
