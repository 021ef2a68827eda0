#!/usr/bin/python3
"""Cross-check of Orrimac's DCT-IV against scipy.fft.dct(x, 4, norm='ortho').

  /usr/bin/python3 tests/scipy/cosine_packets_dct4.py <build-dir>

With D = 0 the table is the DCT-IV of the whole signal (f = 1 .. 1024); with
D = log2(n) there is no bell and column d holds the plain DCT-IVs of the
blocks of length n/2^d. Prints the largest difference (absolute, and
relative to the largest coefficient) and exits non-zero above 1e-12.
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy.fft import dct


def orrimac(mexdir, tmp, x, D):
    src, dst = os.path.join(tmp, "x.bin"), os.path.join(tmp, "T.bin")
    x.astype("<f8").tofile(src)
    script = (f"addpath('{mexdir}'); f = fopen('{src}'); x = fread(f, Inf, 'double')'; fclose(f);"
              f"T = Orrimac(x, {D}, 0); f = fopen('{dst}', 'w'); fwrite(f, T, 'double'); fclose(f);")
    subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", script], check=True,
                   stderr=subprocess.DEVNULL)
    return np.fromfile(dst, dtype="<f8").reshape(D + 1, x.size).T


def main():
    mexdir = os.path.abspath(os.path.join(sys.argv[1] if len(sys.argv) > 1 else "build", "mex"))
    rng = np.random.default_rng(6)
    worst_abs = worst_rel = 0.0
    with tempfile.TemporaryDirectory() as tmp:
        cases = [(1 << e, 0) for e in range(11)] + [(4096, 12)]
        for n, D in cases:
            x = rng.standard_normal(n)
            T = orrimac(mexdir, tmp, x, D)
            for d in range(D + 1):
                f = n >> d
                ref = dct(x.reshape(1 << d, f), 4, norm="ortho", axis=1).reshape(n)
                diff = np.max(np.abs(T[:, d] - ref))
                worst_abs = max(worst_abs, diff)
                worst_rel = max(worst_rel, diff / np.max(np.abs(ref)))
    print(f"Orrimac vs scipy.fft.dct(type 4, ortho), f = 1 .. 4096: largest difference "
          f"{worst_abs:.3e} (relative {worst_rel:.3e})")
    return 0 if worst_rel <= 1e-12 else 1


if __name__ == "__main__":
    sys.exit(main())
