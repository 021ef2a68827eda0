#include "periodic.hpp"

#include <algorithm>

void mirror_filter(const double* h, double* g, int m)
{
    int sign = 1;
    for (int k = 0; k < m; ++k) {
        g[k] = h[k] * sign;
        sign = -sign;
    }
}

void downsample_lowpass_periodic(const double* x, int n, const double* h, int m, double* y)
{
    const int half = n / 2;
    // Outputs 0 .. last read x[2i + k] inside the signal; clamped so that no
    // output beyond half - 1 is ever written (m = 0, or n = 1).
    int last = half - m / 2;
    if (2 * last + m - 1 >= n) --last;
    last = std::min(std::max(last, -1), half - 1);
    for (int i = 0; i <= last; ++i) {
        const double* xi = x + 2 * i;
        double s = 0.0;
        for (int k = 0; k < m; ++k) s += h[k] * xi[k];
        y[i] = s;
    }
    for (int i = last + 1; i < half; ++i) {
        int t = 2 * i;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t >= n) t -= n;
            s += h[k] * x[t];
            ++t;
        }
        y[i] = s;
    }
}

void downsample_highpass_periodic(const double* x, int n, const double* g, int m, double* y)
{
    const int half = n / 2;
    // Outputs first .. half-1 read x[2i + 1 - k] inside the signal.
    int first = m / 2 - 1;
    if (2 * first + 1 - (m - 1) < 0) ++first;
    first = std::max(first, 0);
    for (int i = first; i < half; ++i) {
        const double* xi = x + 2 * i + 1;
        double s = 0.0;
        for (int k = 0; k < m; ++k) s += g[k] * xi[-k];
        y[i] = s;
    }
    first = std::min(first, half);
    for (int i = 0; i < first; ++i) {
        int t = 2 * i + 1;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t < 0) t += n;
            s += g[k] * x[t];
            --t;
        }
        y[i] = s;
    }
}

void upsample_lowpass_periodic(const double* c, int nc, const double* h, int m, double* y)
{
    const int mo = (m + 1) / 2;
    const int me = m / 2;
    for (int i = mo; i < nc; ++i) {
        double even = 0.0;
        for (int k = 0; k < mo; ++k) even += h[2 * k] * c[i - k];
        double odd = 0.0;
        for (int k = 0; k < me; ++k) odd += h[2 * k + 1] * c[i - k];
        y[2 * i] = even;
        y[2 * i + 1] = odd;
    }
    const int wrapped = std::min(mo, nc);
    for (int i = 0; i < wrapped; ++i) {
        double even = 0.0;
        int t = i;
        for (int k = 0; k < mo; ++k) {
            even += h[2 * k] * c[t];
            if (--t < 0) t += nc;
        }
        double odd = 0.0;
        t = i;
        for (int k = 0; k < me; ++k) {
            odd += h[2 * k + 1] * c[t];
            if (--t < 0) t += nc;
        }
        y[2 * i] = even;
        y[2 * i + 1] = odd;
    }
}

void upsample_highpass_periodic(const double* d, int nc, const double* g, int m, double* y)
{
    const int mo = (m + 1) / 2;
    const int me = m / 2;
    int i = 0;
    for (; i + mo < nc; ++i) {
        double odd = 0.0;
        for (int k = 0; k < mo; ++k) odd += g[2 * k] * d[i + k];
        double even = 0.0;
        for (int k = 0; k < me; ++k) even += g[2 * k + 1] * d[i + k];
        y[2 * i + 1] = odd;
        y[2 * i] = even;
    }
    for (i = std::max(nc - mo, 0); i < nc; ++i) {
        double odd = 0.0;
        int t = i;
        for (int k = 0; k < mo; ++k) {
            odd += g[2 * k] * d[t];
            if (++t >= nc) t -= nc;
        }
        double even = 0.0;
        t = i;
        for (int k = 0; k < me; ++k) {
            even += g[2 * k + 1] * d[t];
            if (++t >= nc) t -= nc;
        }
        y[2 * i + 1] = odd;
        y[2 * i] = even;
    }
}
