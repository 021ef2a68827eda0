#!/usr/bin/python3
"""Computes the coiflet lowpass filters tabulated in toolbox/orthofilter.m.

A coiflet of n = 6K taps solves
    sum_k h[k] h[k + 2l] = delta(l)           l = 0 .. 3K - 1
    sum_k (-1)^k k^p h[k] = 0                  p = 0 .. 2K - 1  (wavelet moments)
    sum_k (k - 2K)^p h[k] = 0                  p = 1 .. 2K - 1  (scaling moments)
These equations are badly conditioned at the solution (the smallest singular
value of the Jacobian falls to about 1e-9 for 30 taps), so double precision
alone leaves errors near 1e-7 in the taps. Gauss-Newton runs in double
precision from a windowed half-band sinc centred on tap 2K (which leads to
the classical solution, the one most concentrated about that tap), then in
60-digit decimal arithmetic until the step is below 1e-40; the taps are then
rounded once to doubles.

    /usr/bin/python3 tools/coiflet_taps.py      # prints one row per length
"""
from decimal import Decimal, getcontext
import numpy as np

getcontext().prec = 60


def equations(h, K, zero, one, power):
    """Residuals and Jacobian rows, in whatever number type h holds."""
    n = len(h)
    F, J = [], []
    for l in range(n // 2):
        F.append(sum(h[k] * h[k + 2 * l] for k in range(n - 2 * l)) - (one if l == 0 else zero))
        row = [zero] * n
        for k in range(n - 2 * l):
            row[k] += h[k + 2 * l]
            row[k + 2 * l] += h[k]
        J.append(row)
    mid = (n - 1) / 2 if isinstance(one, float) else Decimal(n - 1) / 2
    for p in range(2 * K):
        row = [(-1) ** k * power((k - mid) / n, p) for k in range(n)]
        F.append(sum(r * x for r, x in zip(row, h)))
        J.append(row)
    for p in range(1, 2 * K):
        row = [power((k - 2 * K) * one / n, p) for k in range(n)]
        F.append(sum(r * x for r, x in zip(row, h)))
        J.append(row)
    return F, J


def solve_normal(J, F):
    """Least-squares step -(J'J)^-1 J'F by Gaussian elimination with pivoting."""
    n = len(J[0])
    A = [[sum(J[r][i] * J[r][j] for r in range(len(J))) for j in range(n)] for i in range(n)]
    b = [-sum(J[r][i] * F[r] for r in range(len(J))) for i in range(n)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(A[r][c]))
        A[c], A[p] = A[p], A[c]
        b[c], b[p] = b[p], b[c]
        for r in range(c + 1, n):
            f = A[r][c] / A[c][c]
            for j in range(c, n):
                A[r][j] -= f * A[c][j]
            b[r] -= f * b[c]
    x = [Decimal(0)] * n
    for c in reversed(range(n)):
        x[c] = (b[c] - sum(A[c][j] * x[j] for j in range(c + 1, n))) / A[c][c]
    return x


def coiflet(K):
    n = 6 * K
    k = np.arange(n)
    h = np.sinc((k - 2 * K) / 2) * np.exp(-(((k - 2 * K) / K) ** 2))
    h *= np.sqrt(2) / h.sum()
    for _ in range(100):
        F, J = equations(list(h), K, 0.0, 1.0, lambda x, p: x ** p)
        step = np.linalg.lstsq(np.array(J), -np.array(F), rcond=None)[0]
        h = h + step
        if np.linalg.norm(step) < 1e-12:
            break
    h = [Decimal(float(v)) for v in h]
    for _ in range(20):
        F, J = equations(h, K, Decimal(0), Decimal(1), lambda x, p: x ** p)
        step = solve_normal(J, F)
        h = [a + b for a, b in zip(h, step)]
        if max(abs(s) for s in step) < Decimal("1e-40"):
            break
    else:
        raise RuntimeError("no convergence for %d taps" % n)
    return [float(v) for v in h]


if __name__ == "__main__":
    for K in range(1, 6):
        print(" ".join("%.17g" % v for v in coiflet(K)))
