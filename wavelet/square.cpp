#include "square.hpp"

#include <algorithm>
#include <cstdint>

#include "common/arrays.hpp"
#include "simd/simd.hpp"
#include "common/threads.hpp"
#include "periodic.hpp"

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
// Vector p of a tile column holds rows p*W .. p*W + W-1 of the tile; the
// outputs of a tile go straight to the block. Every output of a row is one
// accumulator whose taps are added in the order of the kernels of
// periodic.hpp, the running column index wrapping as in their wrapped range.
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
    static int columns(int nc) { return nc; }
    template <class V, int P>
    SIMD_INLINE static void on(const double* in, int n, int nc, const double* h, const double* g, int m, double* out)
    {
        constexpr int W = simd::lanes<V>, S = P * W;
        const int half = nc / 2;
        for (int i = 0; i < half; ++i) {
            V lo[P], hi[P];
            for (int p = 0; p < P; ++p) lo[p] = V{}, hi[p] = V{};
            for (int k = 0, t = 2 * i; k < m; ++k, ++t) {
                if (t >= nc) t -= nc;
                for (int p = 0; p < P; ++p) lo[p] = lo[p] + h[k] * simd::load<V>(in + t * S + p * W);
            }
            for (int k = 0, t = 2 * i + 1; k < m; ++k, --t) {
                if (t < 0) t += nc;
                for (int p = 0; p < P; ++p) hi[p] = hi[p] + g[k] * simd::load<V>(in + t * S + p * W);
            }
            for (int p = 0; p < P; ++p) {
                simd::store(out + static_cast<long long>(i) * n + p * W, lo[p]);
                simd::store(out + static_cast<long long>(half + i) * n + p * W, hi[p]);
            }
        }
    }
};

// One tile of rows rebuilt from coarse columns 0 .. nc-1 and detail columns
// nc .. 2nc-1: column 2i = even lowpass + even highpass part, 2i+1 = odd.
struct synthesise_rows {
    static int columns(int nc) { return 2 * nc; }
    template <class V, int P>
    SIMD_INLINE static void on(const double* in, int n, int nc, const double* h, const double* g, int m, double* out)
    {
        constexpr int W = simd::lanes<V>, S = P * W;
        const int mo = (m + 1) / 2, me = m / 2;
        const double* coarse = in;
        const double* detail = in + nc * S;
        for (int i = 0; i < nc; ++i) {
            V even[P], odd[P], heven[P], hodd[P];
            for (int p = 0; p < P; ++p) even[p] = V{}, odd[p] = V{}, heven[p] = V{}, hodd[p] = V{};
            for (int k = 0, t = i; k < mo; ++k) {
                for (int p = 0; p < P; ++p) even[p] = even[p] + h[2 * k] * simd::load<V>(coarse + t * S + p * W);
                if (--t < 0) t += nc;
            }
            for (int k = 0, t = i; k < me; ++k) {
                for (int p = 0; p < P; ++p) odd[p] = odd[p] + h[2 * k + 1] * simd::load<V>(coarse + t * S + p * W);
                if (--t < 0) t += nc;
            }
            for (int k = 0, t = i; k < mo; ++k) {
                for (int p = 0; p < P; ++p) hodd[p] = hodd[p] + g[2 * k] * simd::load<V>(detail + t * S + p * W);
                if (++t >= nc) t -= nc;
            }
            for (int k = 0, t = i; k < me; ++k) {
                for (int p = 0; p < P; ++p) heven[p] = heven[p] + g[2 * k + 1] * simd::load<V>(detail + t * S + p * W);
                if (++t >= nc) t -= nc;
            }
            for (int p = 0; p < P; ++p) {
                simd::store(out + static_cast<long long>(2 * i) * n + p * W, V(even[p] + heven[p]));
                simd::store(out + static_cast<long long>(2 * i + 1) * n + p * W, V(odd[p] + hodd[p]));
            }
        }
    }
};

// The rows from r through Tile in whole tiles of S = P*W rows, as many as
// fit before r1 up to kGroup rows: copied in at once, then filtered tile by
// tile. Returns the number of rows filtered.
template <class Tile, class V, int P>
SIMD_INLINE int filter_group(double* A, int n, int nc, int r, int r1, const double* h, const double* g, int m,
                             double* scratch)
{
    constexpr int S = P * simd::lanes<V>;
    const int tiles = std::min(r1 - r, kGroup) / S;
    if (tiles == 0) return 0;
    const int cols = Tile::columns(nc);
    copy_in<V, P>(A, n, cols, r, tiles, scratch);
    for (int b = 0; b < tiles; ++b)
        Tile::template on<V, P>(scratch + static_cast<long long>(b) * cols * S, n, nc, h, g, m, A + r + b * S);
    return tiles * S;
}

// Rows r0 .. r1-1 of the block through Tile (analyse_rows or
// synthesise_rows): tiles of eight rows (of W where a vector holds more),
// then of W, the rest one by one. A row's doubles do not depend on the tile
// it shares.
template <class Tile> struct row_tiles {
    template <class V>
    SIMD_INLINE static void run(double* A, int n, int nc, int r0, int r1, const double* h, const double* g, int m,
                                double* scratch)
    {
        constexpr int P = std::max(8 / simd::lanes<V>, 1);
        int r = r0;
        while (const int done = filter_group<Tile, V, P>(A, n, nc, r, r1, h, g, m, scratch)) r += done;
        r += filter_group<Tile, V, 1>(A, n, nc, r, r1, h, g, m, scratch);
        filter_group<Tile, double, 1>(A, n, nc, r, r1, h, g, m, scratch);
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

void square_analysis(const double* X, double* W, int n, int J, int L, const double* h, const double* g, int m,
                     double* scratch, int threads)
{
    if (n < kSquareThreadsFrom) threads = 1;
    L = std::max(L, 0);
    if (J - 1 < L) {
        threads::for_parts(n, threads, [&](int, int c0, int c1) {
            for (int c = c0; c < c1; ++c) copy_doubles(column(X, n, c), column(W, n, c), n);
        });
        return;
    }
    // The first level reads the columns of X; later ones copy each column
    // of their block out of W before overwriting it.
    int nc = n;
    for (int j = J - 1; j >= L; --j) {
        const int half = nc / 2;
        const int t = threads::worth(static_cast<double>(nc) * nc * m, threads);
        threads::for_parts(nc, t, [&](int p, int c0, int c1) {
            double* s = scratch_of(scratch, n, p);
            for (int c = c0; c < c1; ++c) {
                double* col = column(W, n, c);
                const double* src = column(X, n, c);
                if (nc < n) {
                    copy_doubles(col, s, nc);
                    src = s;
                }
                analysis_step(src, nc, h, g, m, col, col + half);
            }
        });
        const RowGroups groups(W, nc, t);
        threads::for_parts(groups.count, t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<analyse_rows>>(W, n, nc, groups.begin(g0), std::min(groups.begin(g1), nc), h, g,
                                                    m, scratch_of(scratch, n, p));
        });
        nc = half;
    }
}

void square_synthesis(const double* W, double* X, int n, int J, int L, const double* h, const double* g, int m,
                      double* scratch, int threads)
{
    if (n < kSquareThreadsFrom) threads = 1;
    L = std::min(std::max(L, 0), J);
    const int t = threads::worth(static_cast<double>(n) * n, threads);
    threads::for_parts(n, t, [&](int, int c0, int c1) {
        for (int c = c0; c < c1; ++c) copy_doubles(column(W, n, c), column(X, n, c), n);
    });
    int nc = 1;
    for (int j = 0; j < L; ++j) nc *= 2;
    for (int j = L; j < J; ++j) {
        const int full = 2 * nc;
        const int t = threads::worth(static_cast<double>(full) * full * m, threads);
        const RowGroups groups(X, full, t);
        threads::for_parts(groups.count, t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<synthesise_rows>>(X, n, nc, groups.begin(g0), std::min(groups.begin(g1), full), h,
                                                       g, m, scratch_of(scratch, n, p));
        });
        threads::for_parts(full, t, [&](int p, int c0, int c1) {
            double* s = scratch_of(scratch, n, p);
            for (int c = c0; c < c1; ++c) {
                double* col = column(X, n, c);
                copy_doubles(col, s, full);
                synthesis_step(s, s + nc, nc, h, g, m, col);
            }
        });
        nc = full;
    }
}
