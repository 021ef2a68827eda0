"""Timing shared by the bench/table_*.py scripts: Octave statements timed in
one Octave process, Python calls timed in this one, and the row format that
bench/run.sh reads."""
import os
import statistics
import subprocess
import time


def octave_medians(build, setup, works, repeats=15):
    """Median ms of each Octave statement in works (name -> statement), run
    after the statements of setup with the plug-ins of build on the path."""
    lines = [f"addpath('{os.path.join(build, 'mex')}');", setup]
    for name, stmt in works.items():
        lines.append(f"{stmt}; t = zeros(1, {repeats});"
                     f"for rep = 1:{repeats}, t0 = tic; {stmt}; t(rep) = toc(t0); end;"
                     f"printf('%s\\t%.6f\\n', '{name}', 1e3 * median(t));")
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", "\n".join(lines)],
                         check=True, capture_output=True, text=True).stdout
    return {name: float(ms) for name, ms in (l.split("\t") for l in out.splitlines() if "\t" in l)}


def median_ms(call, repeats=15):
    """Median ms of call (after one call to warm up)."""
    call()
    times = []
    for _ in range(repeats):
        t0 = time.perf_counter()
        call()
        times.append(time.perf_counter() - t0)
    return 1e3 * statistics.median(times)


def row(work, size, ours_ms, peer, peer_ms):
    print(f"{work}\t{size}\t{ours_ms:.3f}\t{peer}\t{peer_ms:.3f}")
