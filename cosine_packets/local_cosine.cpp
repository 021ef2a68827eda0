#include "local_cosine.hpp"

#include <cmath>

namespace {

const double pi = 3.141592653589793;

inline void swap_doubles(double& a, double& b)
{
    const double t = a;
    a = b;
    b = t;
}

} // namespace

void make_bell(int m, double* bp, double* bm)
{
    for (int i = 0; i < m; ++i) {
        bp[i] = std::sin(pi * (1.0 + (0.5 + i) / m) / 4.0);
        bm[i] = std::sqrt(1.0 - bp[i] * bp[i]);
    }
}

void cosine_transform_type4(const double* x, double* y, double* buf, int f)
{
    const std::ptrdiff_t N = 8 * static_cast<std::ptrdiff_t>(f);
    for (std::ptrdiff_t j = 0; j < N; ++j) buf[j] = 0.0;
    // Input on the odd positions of the first quarter: the real transform at
    // the odd frequencies 2k + 1 is then exactly the DCT-IV sum.
    for (std::ptrdiff_t j = 0; j < f; ++j) buf[2 * j + 1] = x[j];
    real_fft(buf, N);
    const double s = std::sqrt(2.0 / f);
    for (std::ptrdiff_t k = 0; k < f; ++k) y[k] = s * buf[4 * k + 2];
}

void real_fft(double* d, std::ptrdiff_t N)
{
    complex_fft(d, N / 2);
    // Separate the transforms of the even and odd samples and recombine them
    // with the twiddle e^(2 pi i k/N), produced by recurrence.
    const double theta = pi / static_cast<double>(N / 2);
    const double h = std::sin(0.5 * theta);
    const double gr = -2.0 * h * h;
    const double gi = std::sin(theta);
    double ur = 1.0 + gr, ui = gi;
    const double k1 = 0.5, k2 = -0.5;
    for (std::ptrdiff_t k = 1; k < N / 4; ++k) {
        const std::ptrdiff_t p1 = 2 * k, p2 = 2 * k + 1, p3 = N - 2 * k, p4 = N - 2 * k + 1;
        const double ar = k1 * (d[p1] + d[p3]);
        const double ai = k1 * (d[p2] - d[p4]);
        const double br = -k2 * (d[p2] + d[p4]);
        const double bi = k2 * (d[p1] - d[p3]);
        d[p1] = ar + ur * br - ui * bi;
        d[p2] = ai + ur * bi + ui * br;
        d[p3] = ar - ur * br + ui * bi;
        d[p4] = -ai + ur * bi + ui * br;
        const double t = ur;
        ur = ur + (ur * gr - ui * gi);
        ui = ui + (ui * gr + t * gi);
    }
    const double t = d[0];
    d[0] = t + d[1];
    d[1] = t - d[1];
}

void complex_fft(double* d, std::ptrdiff_t K)
{
    // Positions p = 1 .. 2K below are 1-based: position p is d[p - 1].
    double* a = d - 1;
    const std::ptrdiff_t n2 = 2 * K;

    // Bit reversal of the complex indices.
    std::ptrdiff_t j = 1;
    for (std::ptrdiff_t i = 1; i < n2; i += 2) {
        if (i < j) {
            swap_doubles(a[j], a[i]);
            swap_doubles(a[j + 1], a[i + 1]);
        }
        std::ptrdiff_t q = K;
        while (q > 1 && q < j) {
            j -= q;
            q /= 2;
        }
        j += q;
    }

    // Radix-2 butterflies. Each stage calls sin twice; the twiddle u steps by
    // e^(i theta) = 1 + (gr + i gi) through u' = u + u (gr + i gi).
    std::ptrdiff_t span = 2;
    while (span < n2) {
        const std::ptrdiff_t stride = 2 * span;
        const double theta = 6.28318530717959 / static_cast<double>(span);
        const double h = std::sin(0.5 * theta);
        const double gr = -2.0 * h * h;
        const double gi = std::sin(theta);
        double ur = 1.0, ui = 0.0;
        for (std::ptrdiff_t s = 1; s < span; s += 2) {
            for (std::ptrdiff_t i = s; i <= n2; i += stride) {
                const std::ptrdiff_t k = i + span;
                const double tr = ur * a[k] - ui * a[k + 1];
                const double ti = ur * a[k + 1] + ui * a[k];
                a[k] = a[i] - tr;
                a[k + 1] = a[i + 1] - ti;
                a[i] = tr + a[i];
                a[i + 1] = ti + a[i + 1];
            }
            const double t = ur;
            ur = ur + (ur * gr - ui * gi);
            ui = ui + (ui * gr + t * gi);
        }
        span = stride;
    }
}

void edge_extension(Side side, const double* src, double* ext, int f, int m, const double* bp, const double* bm)
{
    if (side == Side::left) {
        for (int i = 0; i < m; ++i) ext[f - 1 - i] = src[i] * (1.0 - bp[i]) / bm[i];
    } else {
        for (int i = 0; i < m; ++i) ext[i] = -src[f - 1 - i] * (1.0 - bp[i]) / bm[i];
    }
}

void fold_block(const double* cur, const double* left, const double* right, const double* bp, const double* bm,
                int m, int f, double* w)
{
    for (int i = 0; i < f; ++i) w[i] = cur[i];
    for (int i = 0; i < m; ++i) {
        const int r = f - 1 - i;
        w[i] = bp[i] * w[i] + bm[i] * left[r];
        w[r] = bp[i] * w[r] - bm[i] * right[i];
    }
}

void unfold_block(const double* y, double* c, double* lp, double* rp, int f, int m, const double* bp,
                  const double* bm)
{
    for (int i = 0; i < f; ++i) c[i] = y[i];
    for (int i = 0; i < m; ++i) {
        const int r = f - 1 - i;
        lp[r] = y[i] * bm[i];
        rp[i] = y[r] * (-1.0 * bm[i]);
        c[i] = bp[i] * y[i];
        c[r] = bp[i] * y[r];
    }
}

void add_overlap(Side side, const double* piece, double* acc, int f, int m)
{
    if (side == Side::left) {
        for (int i = 0; i < m; ++i) acc[f - 1 - i] += piece[f - 1 - i];
    } else {
        for (int i = 0; i < m; ++i) acc[i] += piece[i];
    }
}

void unfold_edge_correction(Side side, double* g, int f, int m, const double* bp)
{
    for (int i = 0; i < m; ++i) {
        double& v = side == Side::left ? g[i] : g[f - 1 - i];
        v = v + v * (1.0 - bp[i]) / bp[i];
    }
}
