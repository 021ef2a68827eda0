#!/usr/bin/python3
"""make bench rows of the cosine packets: Orrimac and Unorrimac of a signal
of 2^16 values at depth 6, timed from Octave, next to SciPy's orthonormal
DCT-IV of the same blocks (levels 0 .. 6, one batched call per level),
timed in the same run. Prints  work  size  wavetide_ms  peer  peer_ms.

    bench/table_cosine_packets.py <build-dir>
"""
import subprocess
import sys
import timeit

import numpy as np
from scipy.fft import dct

N, D, REPEATS = 1 << 16, 6, 7


def octave_ms(build):
    script = f"""
    addpath('{build}/mex');
    n = {N}; D = {D}; x = sin(0.001 * (0:n-1) .* (1 + 0.0005 * (0:n-1)));
    T = Orrimac(x, D, 0);
    for f = {{@() Orrimac(x, D, 0), @() Unorrimac(T)}}
      t = zeros(1, {REPEATS});
      for r = 1:{REPEATS}
        k = 0; tic;
        do y = f{{1}}(); k++; until toc > 0.05
        t(r) = toc / k;
      end
      printf('%.9g\\n', median(t) * 1e3);
    end
    """
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", script], check=True,
                         capture_output=True, text=True).stdout.split()
    return [float(v) for v in out[-2:]]


def scipy_ms():
    x = np.sin(0.001 * np.arange(N) * (1.0 + 0.0005 * np.arange(N)))
    blocks = [x.reshape(1 << d, N >> d) for d in range(D + 1)]
    run = lambda: [dct(b, type=4, norm="ortho", axis=1) for b in blocks]
    calls = max(1, int(0.05 / max(timeit.timeit(run, number=1), 1e-6)))
    return float(np.median(timeit.repeat(run, number=calls, repeat=REPEATS))) / calls * 1e3


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    ours = octave_ms(build)
    peer = scipy_ms()
    for work, t in zip(("Orrimac", "Unorrimac"), ours):
        print(f"{work}\tn=2^16, D={D}\t{t:.4f}\tscipy dct type 4 ortho, same blocks\t{peer:.4f}")


if __name__ == "__main__":
    main()
