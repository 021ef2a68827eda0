#!/usr/bin/python3
"""Rows of the make bench table for packettable, packetbasis and denoise.

  bench/table_workflows.py <build-dir>

Times each function from Octave as a user calls it (median of repeated
calls, the plug-ins of <build-dir>/mex) and, in the same run, PyWavelets
doing the same work on the same signal:
  packettable (x, 10, db4)        vs WaveletPacket(x, 'db4', 'periodization'), every node of levels 1..10
  denoise (x, sym8, 4), universal vs wavedec + median noise estimate + threshold + waverec, periodization
  denoise ..., "invariant", true  vs swt + threshold + iswt, 6 levels (L = 10)
packetbasis has no PyWavelets counterpart; its row shows the peer as
'none' (ratio 0). Prints rows of five tab-separated fields:
work, size, wavetide ms, peer, peer ms.
"""
import os
import statistics
import subprocess
import sys
import timeit

import numpy as np
import pywt

N = 2 ** 16
REPEAT = 15

OCTAVE = r"""
addpath ('%(mex)s');
n = %(n)d; t = (1:n) / n; R = %(repeat)d;
x = 4 * sin (4 * pi * t) - sign (t - 0.3) - sign (0.72 - t) + 0.5 * randn (1, n);
d4 = orthofilter ('db4'); s8 = orthofilter ('sym8');
T = packettable (x, 10, d4);
work = {@() packettable(x, 10, d4), @() packetbasis(T, 'shannon'), ...
        @() denoise(x, s8, 4, 'threshold', 'universal'), ...
        @() denoise(x, s8, 10, 'threshold', 'universal', 'invariant', true)};
for k = 1:numel (work)
  f = work{k}; y = f ();
  s = zeros (1, R);
  for r = 1:R
    t0 = tic; y = f (); s(r) = toc (t0);
  end
  printf ('%%.6f\n', 1e3 * median (s));
end
"""


def median_ms(run):
    run()
    return 1e3 * statistics.median(timeit.repeat(run, number=1, repeat=REPEAT))


def pywt_denoise(x):
    coeffs = pywt.wavedec(x, "sym8", mode="periodization", level=12)
    sigma = np.median(np.abs(coeffs[-1])) / 0.6745
    t = sigma * np.sqrt(2 * np.log(len(x)))
    coeffs[1:] = [pywt.threshold(c, t, "soft") for c in coeffs[1:]]
    return pywt.waverec(coeffs, "sym8", mode="periodization")


def pywt_invariant(x):
    coeffs = pywt.swt(x, "sym8", level=6, trim_approx=True)
    sigma = np.median(np.abs(coeffs[-1][::2])) / 0.6745
    t = sigma * np.sqrt(2 * np.log(len(x)))
    coeffs[1:] = [pywt.threshold(c, t, "soft") for c in coeffs[1:]]
    return pywt.iswt(coeffs, "sym8")


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    code = OCTAVE % {"mex": os.path.abspath(os.path.join(build, "mex")), "n": N, "repeat": REPEAT}
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", code],
                         check=True, capture_output=True, text=True).stdout
    ours = [float(v) for v in out.split()]

    t = np.arange(1, N + 1) / N
    x = 4 * np.sin(4 * np.pi * t) - np.sign(t - 0.3) - np.sign(0.72 - t) + 0.5 * np.random.default_rng(1).standard_normal(N)

    def packets():
        wp = pywt.WaveletPacket(x, "db4", mode="periodization", maxlevel=10)
        return [node.data for d in range(1, 11) for node in wp.get_level(d, "natural")]

    rows = [
        ("packettable, db4, D = 10", ours[0], "pywt WaveletPacket, all nodes", median_ms(packets)),
        ("packetbasis, shannon, D = 10", ours[1], "none", 0.0),
        ("denoise, sym8, soft universal, L = 4", ours[2], "pywt wavedec/threshold/waverec", median_ms(lambda: pywt_denoise(x))),
        ("denoise, sym8, invariant, L = 10", ours[3], "pywt swt/threshold/iswt, 6 levels", median_ms(lambda: pywt_invariant(x))),
    ]
    for work, wavetide, peer, peer_ms in rows:
        print(f"{work}\t{N}\t{wavetide:.4f}\t{peer}\t{peer_ms:.4f}")


if __name__ == "__main__":
    main()
