#!/usr/bin/python3
"""Time per call of the trigonometric transforms next to their peers, all
measured in this one run: our kernels (the bench binary, as a plug-in call
runs them), scipy.fft.dct(x, type=2, norm='ortho'), and FFTW's REDFT10
(compiled here from bench/trig_fftw_peer.c against Debian's libfftw3).

    /usr/bin/python3 bench/trig_peers.py <build-dir> [min_time]
"""
import json
import os
import subprocess
import sys
import timeit

import numpy as np
import scipy.fft

LO, HI = 4, 20


def ours(build, min_time):
    out = subprocess.run([os.path.join(build, "bench", "bench_trig_bench"), "--benchmark_format=json",
                          f"--benchmark_min_time={min_time}"], check=True, capture_output=True, text=True)
    times = {}
    for b in json.loads(out.stdout)["benchmarks"]:
        name, n = b["name"].split("/")
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
        times[(name.replace("BM_", ""), int(n))] = b["real_time"] * scale
    return times


def fftw(build, min_time):
    here = os.path.dirname(os.path.abspath(__file__))
    exe = os.path.join(build, "bench", "trig_fftw_peer")
    subprocess.run(["cc", "-O2", "-o", exe, os.path.join(here, "trig_fftw_peer.c"), "-lfftw3", "-lm"], check=True)
    out = subprocess.run([exe, str(LO), str(HI), str(min_time)], check=True, capture_output=True, text=True)
    return {int(n): float(t) for n, t in (line.split() for line in out.stdout.split("\n") if line)}


def scipy_dct(min_time):
    times = {}
    for e in range(LO, HI + 1):
        n = 2 ** e
        x = np.sin(0.001 * np.arange(n)) + ((np.arange(n) * 7919) % 13) * 0.01
        t = timeit.Timer(lambda: scipy.fft.dct(x, type=2, norm="ortho"))
        calls, total = 1, t.timeit(1)
        while total < min_time:
            calls *= 2
            total = t.timeit(calls)
        times[n] = total / calls
    return times


def fmt(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:7.2f} {unit}"
    return f"{seconds / 1e-9:7.0f} ns"


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    min_time = float(sys.argv[2]) if len(sys.argv) > 2 else 0.05
    t_ours, t_fftw, t_scipy = ours(build, min_time), fftw(build, min_time), scipy_dct(min_time)
    print("time per call; ratios are ours / peer (DCT-II with tables rebuilt, as the plug-in does)")
    print(f"{'n':>8} {'Fennick':>10} {'Gorsely':>10} {'Pimbrel':>10} {'Yarlow':>10} {'reused':>10}"
          f" {'scipy':>10} {'FFTW':>10} {'/scipy':>7} {'/FFTW':>7} {'reused/FFTW':>11}")
    for e in range(LO, HI + 1):
        n = 2 ** e
        row = [t_ours[(k, n)] for k in ("Fennick", "Gorsely", "Pimbrel", "Yarlow", "Fennick_tables_reused")]
        print(f"{n:8d} " + " ".join(f"{fmt(t):>10}" for t in row + [t_scipy[n], t_fftw[n]])
              + f" {row[0] / t_scipy[n]:7.2f} {row[0] / t_fftw[n]:7.2f} {row[4] / t_fftw[n]:11.2f}")


if __name__ == "__main__":
    main()
