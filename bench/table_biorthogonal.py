#!/usr/bin/python3
"""make bench rows of the biorthogonal plug-ins: Morrowel + Unmorrowel with
the 9/7 pair at full depth, timed from Octave, next to PyWavelets' bior4.4
wavedec + waverec (periodization) timed in the same run.

    bench/table_biorthogonal.py <build-dir>
"""
import sys
import warnings

import numpy as np
import pywt

from timing import median_ms, octave_medians, row


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    n = 2 ** 20
    setup = f"[g, gd] = biorthofilter('cdf', 9, 7); x = sin(0.001 * (1:{n})); w = Morrowel(x, 0, g, gd);"
    ours = octave_medians(build, setup, {"forward": "r = Morrowel(x, 0, g, gd)", "inverse": "r = Unmorrowel(w, 0, g, gd)"})
    warnings.simplefilter("ignore")  # full depth is beyond PyWavelets' advised level
    x = np.sin(0.001 * np.arange(1, n + 1))
    coeffs = pywt.wavedec(x, "bior4.4", mode="periodization", level=20)
    dec = median_ms(lambda: pywt.wavedec(x, "bior4.4", mode="periodization", level=20))
    rec = median_ms(lambda: pywt.waverec(coeffs, "bior4.4", mode="periodization"))
    row("Morrowel + Unmorrowel, 9/7 pair, full depth", "2^20", ours["forward"] + ours["inverse"],
        "pywt wavedec + waverec bior4.4 periodization", dec + rec)


if __name__ == "__main__":
    main()
