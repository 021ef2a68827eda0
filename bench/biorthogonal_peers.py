"""Morrowel / Unmorrowel kernels (9/7 pair, full depth) against PyWavelets'
wavedec / waverec with 'bior4.4' in periodization mode, timed in the same run.

Ours is timed by the Google Benchmark binary of the build folder (CPU time),
the peer by process time around repeated calls; the ratio is ours / peer per
transform and size (below 1: ours is faster).

    /usr/bin/python3 bench/biorthogonal_peers.py <build-dir>
"""
import json
import subprocess
import sys
import time
import warnings

import numpy as np
import pywt


def ours(build):
    out = subprocess.run(
        [f"{build}/bench/bench_biorthogonal_bench", "--benchmark_filter=/9$",
         "--benchmark_min_time=0.05", "--benchmark_format=json"],
        check=True, capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        name, n, _ = b["name"].split("/")
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
        times[(name.replace("BM_", ""), int(n))] = b["cpu_time"] * scale
    return times


def peer(f, n):
    reps = max(3, int(2e6 // n))
    best = float("inf")
    for _ in range(3):
        t0 = time.process_time()
        for _ in range(reps):
            f()
        best = min(best, (time.process_time() - t0) / reps)
    return best


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    mine = ours(build)
    warnings.simplefilter("ignore")  # full depth is beyond pywt's suggested level
    print("biorthogonal 9/7, full depth: ns per sample (CPU), ours vs pywt bior4.4 periodization")
    print(f"{'n':>8} {'Morrowel':>9} {'wavedec':>9} {'ratio':>6} {'Unmorrowel':>10} {'waverec':>9} {'ratio':>6}")
    for e in range(10, 21, 2):
        n = 1 << e
        x = np.sin(0.001 * np.arange(n)) + ((np.arange(n) * 7919) % 13) * 0.01
        c = pywt.wavedec(x, "bior4.4", mode="periodization", level=e)
        fwd = peer(lambda: pywt.wavedec(x, "bior4.4", mode="periodization", level=e), n)
        inv = peer(lambda: pywt.waverec(c, "bior4.4", mode="periodization"), n)
        a, s = mine[("Morrowel", n)], mine[("Unmorrowel", n)]
        print(f"{n:>8} {a / n * 1e9:9.2f} {fwd / n * 1e9:9.2f} {a / fwd:6.2f} "
              f"{s / n * 1e9:10.2f} {inv / n * 1e9:9.2f} {s / inv:6.2f}")


if __name__ == "__main__":
    main()
