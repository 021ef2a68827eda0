#include "square.hpp"

#include <algorithm>

#include "host/arrays.hpp"
#include "host/simd.hpp"
#include "host/threads.hpp"
#include "host/two_channel.hpp"
#include "periodic.hpp"

using namespace two_channel;

namespace {

// Column c of an n x n array.
const double* column(const double* a, int n, int c) { return a + static_cast<long long>(c) * n; }
double* column(double* a, int n, int c) { return a + static_cast<long long>(c) * n; }

} // namespace

void get_row(const double* matrix, int count, int stride, int row, double* buffer)
{
    for (int k = 0; k < count; ++k) buffer[k] = matrix[row + static_cast<long long>(stride) * k];
}

void set_row(const double* buffer, int count, int stride, int row, double* matrix)
{
    for (int k = 0; k < count; ++k) matrix[row + static_cast<long long>(stride) * k] = buffer[k];
}

namespace {

// The rows of an nc x nc block (leading dimension n) are filtered W at a
// time: lane q of a vector is row r + q, so the W values of one column are
// contiguous. The rows are first copied into a tile (tile[c*W + q] =
// block[r + q, c]) and filtered by the wrapped sums of host/two_channel.hpp
// with stride W, the order of the one-signal kernels.

// Rows r .. r+W-1: lowpass into columns 0 .. nc/2-1, highpass after them.
template <class V>
SIMD_INLINE void filter_rows(double* A, int n, int nc, int r, const AnalysisBank& bank, double* tile)
{
    constexpr int W = simd::lanes<V>;
    const int half = nc / 2;
    for (int c = 0; c < nc; ++c) simd::store(tile + c * W, simd::load<V>(A + r + static_cast<long long>(c) * n));
    for (int i = 0; i < half; ++i) {
        const V lo = lowpass_wrapped<V>(tile, W, nc, bank, i);
        const V hi = highpass_wrapped<V>(tile, W, nc, bank, i);
        simd::store(A + r + static_cast<long long>(i) * n, lo);
        simd::store(A + r + static_cast<long long>(half + i) * n, hi);
    }
}

// Rows r .. r+W-1 rebuilt from coarse columns 0 .. nc-1 and detail columns
// nc .. 2nc-1.
template <class V>
SIMD_INLINE void filter_rows(double* A, int n, int nc, int r, const SynthesisBank& bank, double* tile)
{
    constexpr int W = simd::lanes<V>;
    for (int c = 0; c < 2 * nc; ++c) simd::store(tile + c * W, simd::load<V>(A + r + static_cast<long long>(c) * n));
    for (int i = 0; i < nc; ++i) {
        V even, odd;
        synthesis_pair_wrapped<V, both_halves>(tile, tile + nc * W, W, nc, bank, i, even, odd);
        simd::store(A + r + static_cast<long long>(2 * i) * n, even);
        simd::store(A + r + static_cast<long long>(2 * i + 1) * n, odd);
    }
}

// Rows r0 .. r1-1 of the block, W at a time, the rest one by one (a row's
// doubles do not depend on the vector it shares), analysed or rebuilt as
// the bank says.
template <class Bank> Bank plain_bank(const double* lowpass, const double* highpass, int taps);
template <> AnalysisBank plain_bank(const double* lowpass, const double* highpass, int taps)
{
    return plain_analysis(lowpass, highpass, taps);
}
template <> SynthesisBank plain_bank(const double* lowpass, const double* highpass, int taps)
{
    return plain_synthesis(lowpass, highpass, taps);
}

template <class Bank> struct row_kernel {
    template <class V>
    SIMD_INLINE static void run(double* A, int n, int nc, int r0, int r1, const double* lowpass,
                                const double* highpass, int taps, double* tile)
    {
        const Bank bank = plain_bank<Bank>(lowpass, highpass, taps);
        int r = r0;
        for (; r + simd::lanes<V> <= r1; r += simd::lanes<V>) filter_rows<V>(A, n, nc, r, bank, tile);
        for (; r < r1; ++r) filter_rows<double>(A, n, nc, r, bank, tile);
    }
};

// Rows go to the threads in groups of eight, the widest vector.
constexpr int row_group = 8;

int groups_of(int rows) { return (rows + row_group - 1) / row_group; }

// The scratch of thread p: 8n doubles of its own.
double* scratch_of(double* scratch, int n, int p) { return scratch + static_cast<long long>(p) * 8 * n; }

} // namespace

void square_analysis(const double* X, int n, int log2n, int level, const double* lowpass, const double* highpass,
                     int taps, double* W, double* scratch, int threads)
{
    level = std::max(level, 0);
    if (log2n - 1 < level) {
        threads::for_parts(n, threads, [&](int, int c0, int c1) {
            for (int c = c0; c < c1; ++c) copy_doubles(column(X, n, c), column(W, n, c), n);
        });
        return;
    }
    // The first level reads the columns of X; later ones copy each column
    // of their block out of W before overwriting it.
    int nc = n;
    for (int j = log2n - 1; j >= level; --j) {
        const int half = nc / 2;
        const int t = nc < kSquareThreadsFrom ? 1 : threads::worth(static_cast<double>(nc) * nc * taps, threads);
        threads::for_parts(nc, t, [&](int p, int c0, int c1) {
            double* s = scratch_of(scratch, n, p);
            for (int c = c0; c < c1; ++c) {
                double* col = column(W, n, c);
                const double* src = column(X, n, c);
                if (nc < n) {
                    copy_doubles(col, s, nc);
                    src = s;
                }
                analysis_step(src, nc, lowpass, highpass, taps, col, col + half);
            }
        });
        threads::for_parts(groups_of(nc), t, [&](int p, int g0, int g1) {
            simd::dispatch<row_kernel<AnalysisBank>>(W, n, nc, g0 * row_group, std::min(g1 * row_group, nc), lowpass,
                                                     highpass, taps, scratch_of(scratch, n, p));
        });
        nc = half;
    }
}

void square_synthesis(const double* W, int n, int log2n, int level, const double* lowpass, const double* highpass,
                      int taps, double* X, double* scratch, int threads)
{
    level = std::min(std::max(level, 0), log2n);
    const int t = n < kSquareThreadsFrom ? 1 : threads::worth(static_cast<double>(n) * n, threads);
    threads::for_parts(n, t, [&](int, int c0, int c1) {
        for (int c = c0; c < c1; ++c) copy_doubles(column(W, n, c), column(X, n, c), n);
    });
    for (int nc = 1 << level, j = level; j < log2n; ++j) {
        const int full = 2 * nc;
        const int t = full < kSquareThreadsFrom ? 1 : threads::worth(static_cast<double>(full) * full * taps, threads);
        threads::for_parts(groups_of(full), t, [&](int p, int g0, int g1) {
            simd::dispatch<row_kernel<SynthesisBank>>(X, n, nc, g0 * row_group, std::min(g1 * row_group, full),
                                                      lowpass, highpass, taps, scratch_of(scratch, n, p));
        });
        threads::for_parts(full, t, [&](int p, int c0, int c1) {
            double* s = scratch_of(scratch, n, p);
            for (int c = c0; c < c1; ++c) {
                double* col = column(X, n, c);
                copy_doubles(col, s, full);
                synthesis_step(s, s + nc, nc, lowpass, highpass, taps, col);
            }
        });
        nc = full;
    }
}
