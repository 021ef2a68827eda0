#!/usr/bin/python3
"""Cross-check of Fennick, Gorsely, Pimbrel and Yarlow against SciPy.

Runs the built plug-ins in octave-cli on random vectors of every dyadic
length 1 .. 2^16 and compares them with scipy.fft.dct (types 2, 3,
norm='ortho') and scipy.fft.dst (types 2, 3). The DSTs are taken with
norm=None and scaled to the orthonormal form here, since SciPy 1.10 scales
norm='ortho' of DST-II/III wrongly. Up to 2^12 every result is also
compared with the defining sum, evaluated directly.

    /usr/bin/python3 tests/scipy/trig_crosscheck.py <build-dir>

Prints the largest relative L2 error per transform and exits non-zero when
any exceeds 1e-12. Needs numpy and scipy; not part of the product.
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
import scipy
import scipy.fft

TOLERANCE = 1e-12
NAMES = ("Fennick", "Gorsely", "Pimbrel", "Yarlow")


def run_plugins(mexdir, inputs, workdir):
    """Each plug-in on each input, through octave-cli and raw double files."""
    lengths = [len(x) for x in inputs]
    np.concatenate(inputs).tofile(os.path.join(workdir, "in.bin"))
    script = f"""
addpath('{mexdir}');
ns = [{' '.join(map(str, lengths))}];
f = fopen('{workdir}/in.bin'); x = fread(f, Inf, 'double'); fclose(f);
names = {{'Fennick', 'Gorsely', 'Pimbrel', 'Yarlow'}};
for k = 1:4
  out = zeros(size(x)); at = 0;
  for n = ns
    out(at+1:at+n) = feval(names{{k}}, x(at+1:at+n)');
    at += n;
  end
  f = fopen(['{workdir}/' names{{k}} '.bin'], 'w'); fwrite(f, out, 'double'); fclose(f);
end
"""
    subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", script], check=True,
                   stderr=subprocess.DEVNULL)
    results = {}
    for name in NAMES:
        flat = np.fromfile(os.path.join(workdir, name + ".bin"))
        results[name] = np.split(flat, np.cumsum(lengths)[:-1])
    return results


def scipy_peer(name, x):
    n = len(x)
    if name == "Fennick":
        return scipy.fft.dct(x, type=2, norm="ortho")
    if name == "Gorsely":
        return scipy.fft.dct(x, type=3, norm="ortho")
    if name == "Pimbrel":  # norm=None: y[k] = 2 sum_j x[j] sin(pi (2j+1)(k+1) / (2n))
        y = scipy.fft.dst(x, type=2) / np.sqrt(2.0 * n)
        y[-1] /= np.sqrt(2.0)
        return y
    # Yarlow. norm=None: y[j] = (-1)^j x[n-1] + 2 sum_{k<n-1} x[k] sin(...)
    xs = x.copy()
    xs[-1] *= np.sqrt(2.0)
    return scipy.fft.dst(xs, type=3) / np.sqrt(2.0 * n)


def defining_sum(name, x):
    n = len(x)
    j = np.arange(n)
    sine = name in ("Pimbrel", "Yarlow")
    kk = j + 1 if sine else j
    r = np.outer(2 * j + 1, kk) % (4 * n)  # angle pi r / (2n), reduced exactly
    kernel = np.sin(np.pi * r / (2.0 * n)) if sine else np.cos(np.pi * r / (2.0 * n))  # [j, k]
    w = np.ones(n)
    w[-1 if sine else 0] = 1.0 / np.sqrt(2.0)
    if name in ("Fennick", "Pimbrel"):
        return np.sqrt(2.0 / n) * w * (x @ kernel)
    return np.sqrt(2.0 / n) * (kernel @ (w * x))


def relative(a, b):
    return np.linalg.norm(a - b) / max(np.linalg.norm(b), 1.0)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    mexdir = os.path.abspath(os.path.join(build, "mex"))
    rng = np.random.default_rng(2024)
    inputs = [rng.uniform(-1.0, 1.0, 2 ** e) for e in range(17)]
    with tempfile.TemporaryDirectory() as workdir:
        results = run_plugins(mexdir, inputs, workdir)
    print(f"SciPy {scipy.__version__}, n = 1 .. 2^16 (defining sum up to 2^12)")
    worst = 0.0
    for name in NAMES:
        e_peer = max(relative(y, scipy_peer(name, x)) for x, y in zip(inputs, results[name]))
        e_sum = max(relative(y, defining_sum(name, x))
                    for x, y in zip(inputs, results[name]) if len(x) <= 4096)
        print(f"  {name:8s} vs scipy: {e_peer:.2e}   vs defining sum: {e_sum:.2e}")
        worst = max(worst, e_peer, e_sum)
    print(f"largest relative difference {worst:.2e} (tolerance {TOLERANCE:g})")
    return 0 if worst <= TOLERANCE else 1


if __name__ == "__main__":
    sys.exit(main())
