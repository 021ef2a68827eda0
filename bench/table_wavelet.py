#!/usr/bin/python3
"""make bench rows of the periodic wavelet plug-ins (wavelet/): each timed
from Octave as a user calls it, next to PyWavelets (or Octave's own copy of
an output of the same size) timed in the same run.

    bench/table_wavelet.py <build-dir>

Prints rows  work TAB size TAB wavetide_ms TAB peer TAB peer_ms  (medians).
"""
import sys
import warnings

import numpy as np
import pywt

from timing import median_ms, octave_medians, row


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    n1, n2, side = 2 ** 20, 2 ** 18, 1024
    setup = (f"h = orthofilter('Daubechies', 8); haar = [1 1] / sqrt(2);"
             f"x = sin(0.001 * (1:{n1})); x2 = x(1:{n2}); X = reshape(sin(0.001 * (1:{side ** 2})), {side}, {side});"
             f"w = Jostrane(x, 0, h); y = x;")
    ours = octave_medians(build, setup, {
        "jostrane": "r = Jostrane(x, 0, h)",
        "unjostrane": "r = Unjostrane(w, 0, h)",
        "haar": "r = Jostrane(x, 0, haar)",
        "copy": "y(1) = 1; z = y; z(1) = 0",
        "plattigan": "r = Plattigan(X, 0, h)",
        "wendlock": "r = Wendlock(x2, 9, h)",
    })

    warnings.simplefilter("ignore")  # full depth is beyond PyWavelets' advised level
    x = np.sin(0.001 * np.arange(1, n1 + 1))
    X = np.sin(0.001 * np.arange(1, side * side + 1)).reshape(side, side)
    coeffs = pywt.wavedec(x, "db4", mode="periodization", level=20)
    dec = median_ms(lambda: pywt.wavedec(x, "db4", mode="periodization", level=20))
    rec = median_ms(lambda: pywt.waverec(coeffs, "db4", mode="periodization"))
    row("Jostrane + Unjostrane, 8 taps, full depth", "2^20", ours["jostrane"] + ours["unjostrane"],
        "pywt wavedec + waverec db4 periodization", dec + rec)
    row("Plattigan, 8 taps, full depth", "1024^2", ours["plattigan"],
        "pywt wavedec2 db4 periodization", median_ms(lambda: pywt.wavedec2(X, "db4", mode="periodization", level=10)))
    row("Wendlock, 8 taps, 9 levels", "2^18", ours["wendlock"],
        "pywt swt db4, 9 levels, trim_approx", median_ms(lambda: pywt.swt(x[:n2], "db4", level=9, trim_approx=True)))
    row("Jostrane, Haar, full depth", "2^20", ours["haar"], "Octave's copy of a 2^20 output", ours["copy"])


if __name__ == "__main__":
    main()
