#include "invariant.hpp"

#include "host/arrays.hpp"
#include "periodic.hpp"

void circular_shift_right(const double* src, double* dst, int c)
{
    if (c < 1) return;
    dst[0] = src[c - 1];
    for (int i = 1; i < c; ++i) dst[i] = src[i - 1];
}

void circular_shift_left(const double* src, double* dst, int d)
{
    if (d < 1) return;
    for (int i = 0; i < d - 1; ++i) dst[i] = src[i + 1];
    dst[d - 1] = src[0];
}

void halve_doubles(double* p, int d)
{
    for (int i = 0; i < d; ++i) p[i] = p[i] / 2;
}

void translation_invariant_analysis(const double* signal, int n, int D, const double* g, const double* h, int flen,
                                    double* table, double* scratch)
{
    if (D == 0) copy_doubles(signal, table, n);
    // Each step reads the coarse blocks of the one before and writes the
    // new ones alternately into the scratch and column 0, so that the last
    // step lands in column 0; the delayed block is read in place.
    const double* src = signal;
    int b = 1, c = n;
    for (int k = 1; k <= D; ++k) {
        double* detail = table + static_cast<long long>(k) * n;
        double* coarse = (D - k) % 2 == 0 ? table : scratch;
        const int half = c / 2;
        for (int j = 0; j < b; ++j) {
            const int at = j * c;
            analysis_step(src + at, c, h, g, flen, coarse + at, detail + at);
            analysis_step_delayed(src + at, c, h, g, flen, coarse + at + half, detail + at + half);
        }
        src = coarse;
        b *= 2;
        c = half;
    }
}

void translation_invariant_synthesis(double* output, int n, int D, const double* g, const double* h, int flen,
                                     const double* table, double* scratch)
{
    double* S0 = scratch;
    double* S1 = S0 + n;
    double* S2 = S1 + n;
    double* S3 = S2 + n;
    double* S4 = S3 + n;
    double* S5 = S4 + n;
    int b = 1, d = n;
    for (int k = 1; k < D; ++k) {
        b *= 2;
        d /= 2;
    }
    copy_doubles(table, output, n);
    for (int k = D; k >= 1; --k) {
        const double* detail = table + static_cast<long long>(k) * n;
        const int e = d / 2;
        for (int i = 0; i < b; ++i) {
            double* B = output + i * d;
            copy_doubles(detail + 2 * i * e, S2, e);
            copy_doubles(detail + (2 * i + 1) * e, S3, e);
            copy_doubles(output + 2 * i * e, S4, e);
            copy_doubles(output + (2 * i + 1) * e, S5, e);
            upsample_lowpass_periodic(S4, e, h, flen, S1);
            copy_doubles(S1, B, d);
            upsample_lowpass_periodic(S5, e, h, flen, S1);
            circular_shift_left(S1, S0, d);
            add_doubles(S0, B, d);
            upsample_highpass_periodic(S2, e, g, flen, S1);
            add_doubles(S1, B, d);
            upsample_highpass_periodic(S3, e, g, flen, S1);
            circular_shift_left(S1, S0, d);
            add_doubles(S0, B, d);
            halve_doubles(B, d);
        }
        b /= 2;
        d *= 2;
    }
}
