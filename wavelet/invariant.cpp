#include "invariant.hpp"

#include "common/arrays.hpp"
#include "simd/simd.hpp"
#include "common/threads.hpp"
#include "periodic.hpp"

void circular_shift_right(const double* x, int n, double* y)
{
    if (n < 1) return;
    y[0] = x[n - 1];
    for (int i = 1; i < n; ++i) y[i] = x[i - 1];
}

void circular_shift_left(const double* x, int n, double* y)
{
    if (n < 1) return;
    for (int i = 0; i < n - 1; ++i) y[i] = x[i + 1];
    y[n - 1] = x[0];
}

void halve_doubles(double* p, int n)
{
    for (int i = 0; i < n; ++i) p[i] = p[i] / 2;
}

void translation_invariant_analysis(const double* x, int n, int depth, const double* lowpass, const double* highpass,
                                    int taps, double* table, double* scratch, int threads)
{
    if (depth == 0) copy_doubles(x, table, n);
    // Each step reads the coarse blocks of the one before and writes the
    // new ones alternately into the scratch and column 0, so that the last
    // step lands in column 0; the delayed block is read in place. The 2b
    // shift paths of a step (block j unshifted, then delayed) go to the threads.
    const double* src = x;
    int b = 1, c = n;
    for (int k = 1; k <= depth; ++k) {
        double* detail = table + static_cast<long long>(k) * n;
        double* coarse = (depth - k) % 2 == 0 ? table : scratch;
        const int half = c / 2;
        threads::for_parts(2 * b, threads::worth(static_cast<double>(n) * taps, threads), [&](int, int q0, int q1) {
            for (int q = q0; q < q1; ++q) {
                const int at = q / 2 * c;
                if (q % 2 == 0)
                    analysis_step(src + at, c, lowpass, highpass, taps, coarse + at, detail + at);
                else
                    analysis_step_delayed(src + at, c, lowpass, highpass, taps, coarse + at + half, detail + at + half);
            }
        });
        src = coarse;
        b *= 2;
        c = half;
    }
}

namespace {

// B[k] = (((p[k] + q[k+1]) + r[k]) + s[k+1]) / 2, k = 0 .. d-1, with q and s
// read circularly (advanced by one sample): the four rebuilt parts summed in
// that order and halved, several outputs at once.
struct average_branches {
    template <class V>
    SIMD_INLINE static void run(const double* p, const double* q, const double* r, const double* s, int d, double* B)
    {
        constexpr int W = simd::lanes<V>;
        int k = 0;
        for (; k + W < d; k += W) {
            const V sum = ((simd::load<V>(p + k) + simd::load<V>(q + k + 1)) + simd::load<V>(r + k)) +
                          simd::load<V>(s + k + 1);
            simd::store(B + k, V(sum / 2.0));
        }
        for (; k < d; ++k) {
            const int next = k + 1 == d ? 0 : k + 1;
            B[k] = (((p[k] + q[next]) + r[k]) + s[next]) / 2;
        }
    }
};

} // namespace

void translation_invariant_synthesis(const double* table, int n, int depth, const double* lowpass,
                                     const double* highpass, int taps, double* x, double* scratch, int threads)
{
    int b = 1, d = n;
    for (int k = 1; k < depth; ++k) {
        b *= 2;
        d /= 2;
    }
    copy_doubles(table, x, n);
    for (int k = depth; k >= 1; --k) {
        const double* detail = table + static_cast<long long>(k) * n;
        const int e = d / 2;
        // The b blocks of a step go to the threads, each with 4d doubles of
        // scratch: thread 0 at the front, thread p >= 1 (b >= 2, so d <= n/2)
        // at 4n + 2n(p-1).
        threads::for_parts(b, threads::worth(static_cast<double>(n) * taps, threads), [&](int p, int i0, int i1) {
            double* S0 = scratch + (p == 0 ? 0 : 4LL * n + 2LL * n * (p - 1));
            double* S1 = S0 + d;
            double* S2 = S1 + d;
            double* S3 = S2 + d;
            for (int i = i0; i < i1; ++i) {
                // The children of block i (its own d places of the output) are
                // read by the upsampling kernels before the block is written.
                upsample_lowpass_periodic(x + 2 * i * e, e, lowpass, taps, S0);
                upsample_lowpass_periodic(x + (2 * i + 1) * e, e, lowpass, taps, S1);
                upsample_highpass_periodic(detail + 2 * i * e, e, highpass, taps, S2);
                upsample_highpass_periodic(detail + (2 * i + 1) * e, e, highpass, taps, S3);
                simd::dispatch<average_branches>(static_cast<const double*>(S0), static_cast<const double*>(S1),
                                                 static_cast<const double*>(S2), static_cast<const double*>(S3), d,
                                                 x + i * d);
            }
        });
        b /= 2;
        d *= 2;
    }
}
