#include "packet_table.hpp"

#include <cstddef>

#include "host/arrays.hpp"
#include "local_cosine.hpp"

namespace {

// Bell half-width shared by all levels: half the block length at level D.
int bell_half_width(int n, int D) { return (n >> D) / 2; }

} // namespace

void cosine_packet_analysis(const double* x, double* T, double* scratch, int D, int n)
{
    if (D < 0) return;
    const std::ptrdiff_t N = n;
    double* tables = scratch;
    double* work = scratch + 3 * N;
    double* bm = scratch + 4 * N;
    double* bp = bm + N / 2;
    double* ext = scratch + 5 * N;
    double* w = scratch + 6 * N;
    const int m = bell_half_width(n, D);
    make_bell(m, bp, bm);

    for (int d = D; d >= 0; --d) {
        const int B = 1 << d;
        const int f = n / B;
        double* column = T + d * N;
        make_type4_tables(f, tables, work);
        for (int i = 0; i < B; ++i) {
            // The ends of the signal take their neighbours from the edge
            // extension (both halves of it when B = 1), so they do not wrap.
            const double* cur = x + static_cast<std::ptrdiff_t>(i) * f;
            const double* left = ext;
            const double* right = ext;
            if (i == 0)
                edge_extension(Side::left, cur, ext, f, m, bp, bm);
            else
                left = cur - f;
            if (i + 1 == B)
                edge_extension(Side::right, cur, ext, f, m, bp, bm);
            else
                right = cur + f;
            fold_block(cur, left, right, bp, bm, m, f, w);
            cosine_transform_type4(w, column + static_cast<std::ptrdiff_t>(i) * f, tables, work, f);
        }
    }
}

void cosine_packet_synthesis(const double* T, int n, int D, double* x, double* scratch)
{
    const std::ptrdiff_t N = n;
    double* bm = scratch;
    double* bp = scratch + N / 2;
    double* y = scratch + N;
    double* lp = scratch + 2 * N;
    double* rp = scratch + 3 * N;
    double* A = scratch + 4 * N;
    double* tables = scratch + 5 * N;
    double* work = scratch + 8 * N;
    double* c = work; // free again once the block's transform is done
    const int m = bell_half_width(n, D);
    make_bell(m, bp, bm);

    zero_doubles(x, n);
    for (int d = D; d >= 0; --d) {
        zero_doubles(A, n);
        const int B = 1 << d;
        const int f = n / B;
        const double* column = T + d * N;
        make_type4_tables(f, tables, work);
        for (int i = 0; i < B; ++i) {
            const std::ptrdiff_t s = static_cast<std::ptrdiff_t>(i) * f;
            cosine_transform_type4(column + s, y, tables, work, f);
            unfold_block(y, c, lp, rp, f, m, bp, bm);
            add_doubles(c, A + s, f);
            // A block's own edges hold only its centre when corrected: spills
            // from the neighbours land on the other side of each boundary.
            if (i > 0)
                add_overlap(Side::left, lp, A + s - f, f, m);
            else
                unfold_edge_correction(Side::left, A + s, f, m, bp);
            if (i + 1 < B)
                add_overlap(Side::right, rp, A + s + f, f, m);
            else
                unfold_edge_correction(Side::right, A + s, f, m, bp);
        }
        add_doubles(A, x, n);
    }
}
