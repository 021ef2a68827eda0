#!/usr/bin/python3
"""make bench rows of the triadic pyramids (pyramid/): each plug-in timed
from Octave as a user calls it, next to plain Octave timed in the same run.

    bench/table_pyramid.py <build-dir>

Brontal is set against the block medians of all its levels written in plain
Octave, median (reshape (x, b, [])) for b = 3, 9, ..., n/3 (the levels that
L = 1 splits); Drassock and the inverses against Octave's own copy of an
output of their size, the floor of any plug-in.

Prints rows  work TAB size TAB wavetide_ms TAB peer TAB peer_ms  (medians).
"""
import sys

from timing import octave_medians, row

REPEATS = 11
J = 13


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    # A slow wave, a small periodic pattern and an outlier every 97 samples;
    # and Gaussian noise.
    setup = (f"n = 3^{J}; i = 0:n-1; x = sin(0.001 * i) + mod(i * 7919, 13) * 0.01 + 5 * (mod(i, 97) == 0);"
             f"randn('seed', 1); r = randn(1, n);"
             f"wm = Brontal(x, 1, 2); wa = Drassock(x, 1, 2); y = x; y2 = wm;")
    medians = "for b = 3.^(1:{0}), m = median(reshape({1}, b, [])); end"
    t = octave_medians(build, setup, repeats=REPEATS, works={
        "brontal": "w = Brontal(x, 1, 2)",
        "medians": medians.format(J - 1, "x"),
        "brontal_noise": "w = Brontal(r, 1, 2)",
        "medians_noise": medians.format(J - 1, "r"),
        "drassock": "w = Drassock(x, 1, 2)",
        "unbrontal": "z = Unbrontal(wm, 1, 2)",
        "undrassock": "z = Undrassock(wa, 1, 2)",
        "copy_2n": "y2(1) = 1; z = y2; z(1) = 0",
        "copy_n": "y(1) = 1; z = y; z(1) = 0",
    })
    size = f"3^{J}"
    row("Brontal, L = 1, D = 2, wave + outliers", size, t["brontal"],
        "Octave median(reshape(x, b, [])), all levels", t["medians"])
    row("Brontal, L = 1, D = 2, Gaussian noise", size, t["brontal_noise"],
        "Octave median(reshape(x, b, [])), all levels", t["medians_noise"])
    row("Drassock, L = 1, D = 2", size, t["drassock"], "Octave's copy of a 2n output", t["copy_2n"])
    row("Unbrontal, L = 1, D = 2", size, t["unbrontal"], "Octave's copy of an n output", t["copy_n"])
    row("Undrassock, L = 1, D = 2", size, t["undrassock"], "Octave's copy of an n output", t["copy_n"])


if __name__ == "__main__":
    main()
