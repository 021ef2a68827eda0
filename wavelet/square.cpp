#include "square.hpp"

#include <algorithm>

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

// The rows of an nc x nc block (leading dimension n) are filtered P*W at a
// time: vector p of a tile column holds rows r + p*W .. r + p*W + W-1, so a
// tile column is P*W contiguous values of one column (eight rows fill a
// cache line whatever the vector width). The rows are first copied into a
// tile (tile[c*P*W + q] = block[r + q, c]); every output of a row is one
// accumulator whose taps are added in the order of the kernels of
// periodic.hpp, the running column index wrapping as in their wrapped range.

// Rows r .. r+P*W-1: lowpass into columns 0 .. nc/2-1, highpass after them.
struct analyse_rows {
    template <class V, int P>
    SIMD_INLINE static void on(double* A, int n, int nc, int r, const double* h, const double* g, int m, double* tile)
    {
        constexpr int W = simd::lanes<V>, S = P * W;
        const int half = nc / 2;
        for (int c = 0; c < nc; ++c)
            for (int p = 0; p < P; ++p)
                simd::store(tile + c * S + p * W, simd::load<V>(A + r + p * W + static_cast<long long>(c) * n));
        for (int i = 0; i < half; ++i) {
            V lo[P], hi[P];
            for (int p = 0; p < P; ++p) lo[p] = V{}, hi[p] = V{};
            for (int k = 0, t = 2 * i; k < m; ++k, ++t) {
                if (t >= nc) t -= nc;
                for (int p = 0; p < P; ++p) lo[p] = lo[p] + h[k] * simd::load<V>(tile + t * S + p * W);
            }
            for (int k = 0, t = 2 * i + 1; k < m; ++k, --t) {
                if (t < 0) t += nc;
                for (int p = 0; p < P; ++p) hi[p] = hi[p] + g[k] * simd::load<V>(tile + t * S + p * W);
            }
            for (int p = 0; p < P; ++p) {
                simd::store(A + r + p * W + static_cast<long long>(i) * n, lo[p]);
                simd::store(A + r + p * W + static_cast<long long>(half + i) * n, hi[p]);
            }
        }
    }
};

// Rows r .. r+P*W-1 rebuilt from coarse columns 0 .. nc-1 and detail columns
// nc .. 2nc-1: column 2i = even lowpass + even highpass part, 2i+1 = odd.
struct synthesise_rows {
    template <class V, int P>
    SIMD_INLINE static void on(double* A, int n, int nc, int r, const double* h, const double* g, int m, double* tile)
    {
        constexpr int W = simd::lanes<V>, S = P * W;
        const int mo = (m + 1) / 2, me = m / 2;
        for (int c = 0; c < 2 * nc; ++c)
            for (int p = 0; p < P; ++p)
                simd::store(tile + c * S + p * W, simd::load<V>(A + r + p * W + static_cast<long long>(c) * n));
        const double* coarse = tile;
        const double* detail = tile + nc * S;
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
                simd::store(A + r + p * W + static_cast<long long>(2 * i) * n, V(even[p] + heven[p]));
                simd::store(A + r + p * W + static_cast<long long>(2 * i + 1) * n, V(odd[p] + hodd[p]));
            }
        }
    }
};

// Rows go to the threads in groups of eight, a cache line of one column.
constexpr int row_group = 8;

// Rows r0 .. r1-1 of the block through Tile (analyse_rows or
// synthesise_rows), eight at a time, then W, the rest one by one: a row's
// doubles do not depend on the vector or tile it shares.
template <class Tile> struct row_tiles {
    template <class V>
    SIMD_INLINE static void run(double* A, int n, int nc, int r0, int r1, const double* h, const double* g, int m,
                                double* tile)
    {
        constexpr int W = simd::lanes<V>, P = std::max(row_group / W, 1);
        int r = r0;
        for (; r + P * W <= r1; r += P * W) Tile::template on<V, P>(A, n, nc, r, h, g, m, tile);
        for (; r + W <= r1; r += W) Tile::template on<V, 1>(A, n, nc, r, h, g, m, tile);
        for (; r < r1; ++r) Tile::template on<double, 1>(A, n, nc, r, h, g, m, tile);
    }
};

int groups_of(int rows) { return (rows + row_group - 1) / row_group; }

// The scratch of thread p: 8n doubles of its own.
double* scratch_of(double* scratch, int n, int p) { return scratch + static_cast<long long>(p) * 8 * n; }

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
        threads::for_parts(groups_of(nc), t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<analyse_rows>>(W, n, nc, g0 * row_group, std::min(g1 * row_group, nc), h, g,
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
        threads::for_parts(groups_of(full), t, [&](int p, int g0, int g1) {
            simd::dispatch<row_tiles<synthesise_rows>>(X, n, nc, g0 * row_group, std::min(g1 * row_group, full), h,
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
