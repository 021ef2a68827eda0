#include "square.hpp"

#include <algorithm>
#include <cstdint>

#include "common/arrays.hpp"
#include "common/threads.hpp"
#include "simd/simd.hpp"
#include "common/two_channel.hpp"
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

// The rows of an nc x nc block (leading dimension n) are filtered in groups
// of up to kGroup rows. A group is first copied into tiles of S = P*W rows
// each (tile b: tile[(b*cols + c)*S + q] = block[r + b*S + q, c]), the copy
// reading the group's contiguous values of each column at once (one thread,
// AVX2, 1024^2, against tiles of eight rows copied one by one: Haar 3.2 ->
// 2.6 ms; 8 taps, where the sums dominate, within this machine's noise).
// A tile column is one Lanes<V, P> of its S rows, filtered by the wrapped
// sums of common/two_channel.hpp with stride S, the order of the one-signal
// kernels; the outputs of a tile go straight to the block.
constexpr int kGroup = 32;

template <class V, int P>
SIMD_INLINE void copy_in(const double* A, int n, int cols, int r, int tiles, double* tile)
{
    constexpr int W = simd::lanes<V>, S = P * W;
    for (int c = 0; c < cols; ++c)
        for (int b = 0; b < tiles; ++b)
            for (int p = 0; p < P; ++p)
                simd::store(tile + (static_cast<long long>(b) * cols + c) * S + p * W,
                            simd::load<V>(A + r + b * S + p * W + static_cast<long long>(c) * n));
}

// One tile of rows: lowpass into columns 0 .. nc/2-1 of out, highpass after
// them.
struct analyse_rows {
    using Bank = AnalysisBank;
    static Bank bank(const double* lowpass, const double* highpass, int taps)
    {
        return plain_analysis(lowpass, highpass, taps);
    }
    static int columns(int nc) { return nc; }
    template <class V, int P> SIMD_INLINE static void on(const double* in, int n, int nc, const Bank& b, double* out)
    {
        using T = Lanes<V, P>;
        constexpr int S = simd::lanes<T>;
        const int half = nc / 2;
        for (int i = 0; i < half; ++i) {
            const T lo = lowpass_wrapped<T>(in, S, nc, b, i);
            const T hi = highpass_wrapped<T>(in, S, nc, b, i);
            store(out + static_cast<long long>(i) * n, lo);
            store(out + static_cast<long long>(half + i) * n, hi);
        }
    }
};

// One tile of rows rebuilt from coarse columns 0 .. nc-1 and detail columns
// nc .. 2nc-1.
struct synthesise_rows {
    using Bank = SynthesisBank;
    static Bank bank(const double* lowpass, const double* highpass, int taps)
    {
        return plain_synthesis(lowpass, highpass, taps);
    }
    static int columns(int nc) { return 2 * nc; }
    template <class V, int P> SIMD_INLINE static void on(const double* in, int n, int nc, const Bank& b, double* out)
    {
        using T = Lanes<V, P>;
        constexpr int S = simd::lanes<T>;
        for (int i = 0; i < nc; ++i) {
            T even, odd;
            synthesis_pair_wrapped<T, both_halves>(in, in + nc * S, S, nc, b, i, even, odd);
            store(out + static_cast<long long>(2 * i) * n, even);
            store(out + static_cast<long long>(2 * i + 1) * n, odd);
        }
    }
};

// The rows from r through Tile in whole tiles of S = P*W rows, as many as
// fit before r1 up to kGroup rows: copied in at once, then filtered tile by
// tile. Returns the number of rows filtered.
template <class Tile, class V, int P>
SIMD_INLINE int filter_group(double* A, int n, int nc, int r, int r1, const typename Tile::Bank& bank,
                             double* scratch)
{
    constexpr int S = P * simd::lanes<V>;
    const int tiles = std::min(r1 - r, kGroup) / S;
    if (tiles == 0) return 0;
    const int cols = Tile::columns(nc);
    copy_in<V, P>(A, n, cols, r, tiles, scratch);
    for (int b = 0; b < tiles; ++b)
        Tile::template on<V, P>(scratch + static_cast<long long>(b) * cols * S, n, nc, bank, A + r + b * S);
    return tiles * S;
}

// Rows r0 .. r1-1 of the block through Tile (analyse_rows or
// synthesise_rows): tiles of eight rows (of W where a vector holds more),
// then of W, the rest one by one. A row's doubles do not depend on the tile
// it shares.
template <class Tile> struct row_tiles {
    template <class V>
    SIMD_INLINE static void run(double* A, int n, int nc, int r0, int r1, const double* lowpass,
                                const double* highpass, int taps, double* scratch)
    {
        constexpr int P = std::max(8 / simd::lanes<V>, 1);
        const typename Tile::Bank bank = Tile::bank(lowpass, highpass, taps);
        int r = r0;
        while (const int done = filter_group<Tile, V, P>(A, n, nc, r, r1, bank, scratch)) r += done;
        r += filter_group<Tile, V, 1>(A, n, nc, r, r1, bank, scratch);
        filter_group<Tile, double, 1>(A, n, nc, r, r1, bank, scratch);
    }
};

// The groups of rows that go to the threads. On more than one thread every
// group but the first starts on a cache line of the array (its columns lie
// n doubles apart, a whole number of lines, so one row offset serves every
// column), so that no two threads write into one line; the first group
// takes the rows before that boundary, 25 to 32 of them. (Two threads,
// 1024^2, Haar, rows 16 bytes past a line as a C++ or Octave array comes:
// 3.0 ms with groups from row 0, 1.7 ms with these.)
struct RowGroups {
    int first, count;
    RowGroups(const double* A, int rows, int threads)
    {
        const int misaligned =
            threads > 1 ? static_cast<int>(reinterpret_cast<std::uintptr_t>(A) / sizeof(double) % 8) : 0;
        first = std::min(rows, misaligned == 0 ? kGroup : kGroup - misaligned);
        count = 1 + (rows - first + kGroup - 1) / kGroup;
    }
    int begin(int g) const { return g == 0 ? 0 : first + (g - 1) * kGroup; }
};

// The scratch of thread p: kSquareScratch * n doubles of its own, the tiles
// of a group of rows.
static_assert(kSquareScratch >= kGroup, "a group's tiles fit the scratch");
double* scratch_of(double* scratch, int n, int p) { return scratch + static_cast<long long>(p) * kSquareScratch * n; }

} // namespace

void square_analysis(const double* X, int n, int log2n, int level, const double* lowpass, const double* highpass,
                     int taps, double* W, double* scratch, int threads)
{
    if (n < kSquareThreadsFrom) threads = 1;
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
        const int t = threads::worth(static_cast<double>(nc) * nc * taps, threads);
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
        const RowGroups groups(W, nc, t);
        threads::for_parts(groups.count, t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<analyse_rows>>(W, n, nc, groups.begin(g0), std::min(groups.begin(g1), nc), lowpass,
                                                    highpass, taps, scratch_of(scratch, n, p));
        });
        nc = half;
    }
}

void square_synthesis(const double* W, int n, int log2n, int level, const double* lowpass, const double* highpass,
                      int taps, double* X, double* scratch, int threads)
{
    if (n < kSquareThreadsFrom) threads = 1;
    level = std::min(std::max(level, 0), log2n);
    const int t = threads::worth(static_cast<double>(n) * n, threads);
    threads::for_parts(n, t, [&](int, int c0, int c1) {
        for (int c = c0; c < c1; ++c) copy_doubles(column(W, n, c), column(X, n, c), n);
    });
    for (int nc = 1 << level, j = level; j < log2n; ++j) {
        const int full = 2 * nc;
        const int t = threads::worth(static_cast<double>(full) * full * taps, threads);
        const RowGroups groups(X, full, t);
        threads::for_parts(groups.count, t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<synthesise_rows>>(X, n, nc, groups.begin(g0), std::min(groups.begin(g1), full),
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
