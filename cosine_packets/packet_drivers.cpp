// The drivers of Orrimac and Unorrimac: every level of the table through
// the level pieces of packet_table.hpp, on one thread or several.
#include <algorithm>
#include <cstddef>

#include "common/arrays.hpp"
#include "common/threads.hpp"
#include "local_cosine.hpp"
#include "packet_table.hpp"

using std::ptrdiff_t;

namespace {

// The scratch of the drivers on more than one thread, in doubles from its
// start: the bell (n) | the DCT-IV tables of every level d <= depth at
// table_offset(d) (6n) | per thread, the blocks of packet_block_scratch (3n)
// | synthesis only: the inverse blocks of up to kBatch levels (kBatch n).
constexpr int kBatch = 8;
ptrdiff_t table_offset(int n, int d) { return ptrdiff_t{n} + 6 * (ptrdiff_t{n} - (ptrdiff_t{n} >> d)); }
ptrdiff_t blocks_offset(int n, int slot) { return 7 * ptrdiff_t{n} + slot * packet_block_scratch(n); }

// Levels depth .. 0 of the table made on `threads` threads (> 1), each
// level's tables made by one thread, the largest first; levels[d] for
// d <= depth. Kept tables (type4_tables) are made once in a process, so
// where every level's are kept the calling thread takes them alone.
void make_levels(int n, int depth, int threads, PacketLevel* levels, double* scratch)
{
    double* bm = scratch;
    double* bp = bm + n / 2;
    make_bell(bell_half_width(n, depth), bp, bm);
    threads::for_parts(depth + 1, n > kKeptType4TablesUpTo ? threads : 1, [&](int slot, int d0, int d1) {
        for (int d = d0; d < d1; ++d)
            levels[d] = make_packet_level(n, depth, d, bp, bm, scratch + table_offset(n, d),
                                          scratch + blocks_offset(n, slot));
    });
}

// The units of work of levels d_hi .. d_lo (d_hi >= d_lo), level 0's
// single block first (its DCT-IV is the longest): a level's blocks in a few
// ranges, about 16 units per thread in all. unit(d, b0, b1) for each.
struct BlockRanges {
    int count = 0;
    int d[512], b0[512], b1[512];
    BlockRanges(int d_lo, int d_hi, int threads)
    {
        const int levels = d_hi - d_lo + 1;
        const int per_level = std::max(1, std::min(512 / levels, (16 * threads - 1) / levels));
        for (int e = d_lo; e <= d_hi; ++e) {
            const int B = 1 << e, ranges = std::min(B, per_level);
            for (int r = 0; r < ranges; ++r) {
                d[count] = e;
                b0[count] = static_cast<int>(static_cast<long long>(r) * B / ranges);
                b1[count] = static_cast<int>(static_cast<long long>(r + 1) * B / ranges);
                ++count;
            }
        }
    }
};

} // namespace

long long cosine_packet_analysis_scratch(int n, int threads)
{
    return threads > 1 ? blocks_offset(n, threads) : 7LL * n;
}

long long cosine_packet_synthesis_scratch(int n, int depth, int threads)
{
    return threads > 1 ? blocks_offset(n, threads) + std::min(depth + 1, kBatch) * ptrdiff_t{n} : 9LL * n;
}

void cosine_packet_analysis(const double* x, int n, int depth, double* T, double* scratch, int threads)
{
    if (depth < 0) return;
    const ptrdiff_t N = n;
    if (threads > 1) {
        // Every level's tables, then every level's blocks: two rounds of
        // threads, the units of each claimed in turn.
        PacketLevel levels[32];
        make_levels(n, depth, threads, levels, scratch);
        const BlockRanges units(0, depth, threads);
        threads::for_parts(units.count, threads, [&](int slot, int u0, int u1) {
            for (int u = u0; u < u1; ++u)
                cosine_packet_analysis_blocks(x, levels[units.d[u]], units.b0[u], units.b1[u], T + units.d[u] * N,
                                              scratch + blocks_offset(n, slot));
        });
        return;
    }
    double* tables = scratch;
    double* bm = scratch + 3 * N;
    double* bp = bm + N / 2;
    double* blocks = scratch + 4 * N;
    make_bell(bell_half_width(n, depth), bp, bm);
    for (int d = depth; d >= 0; --d) {
        const PacketLevel level = make_packet_level(n, depth, d, bp, bm, tables, blocks);
        cosine_packet_analysis_blocks(x, level, 0, level.B, T + d * N, blocks);
    }
}

void cosine_packet_synthesis(const double* T, int n, int depth, double* x, double* scratch, int threads)
{
    const ptrdiff_t N = n;
    if (threads > 1) {
        // Every level's tables; then, kBatch levels at a time from level depth
        // down, the inverse blocks of those levels, and x position range by
        // position range, each position taking those levels in turn, so
        // that it sums them in the order of one thread.
        PacketLevel levels[32];
        make_levels(n, depth, threads, levels, scratch);
        double* y = scratch + blocks_offset(n, threads);
        for (int hi = depth; hi >= 0; hi -= kBatch) {
            const int lo = std::max(0, hi - kBatch + 1);
            const BlockRanges units(lo, hi, threads);
            threads::for_parts(units.count, threads, [&](int slot, int u0, int u1) {
                for (int u = u0; u < u1; ++u) {
                    const int d = units.d[u];
                    cosine_packet_synthesis_transforms(T + d * N, levels[d], units.b0[u], units.b1[u],
                                                       y + (d - lo) * N, scratch + blocks_offset(n, slot));
                }
            });
            threads::for_parts(16 * threads, threads, [&](int, int r0, int r1) {
                const ptrdiff_t j0 = r0 * N / (16 * threads), j1 = r1 * N / (16 * threads);
                if (hi == depth) zero_doubles(x + j0, static_cast<int>(j1 - j0));
                for (int d = hi; d >= lo; --d) cosine_packet_synthesis_unfold(y + (d - lo) * N, levels[d], j0, j1, x);
            });
        }
        return;
    }
    double* bm = scratch;
    double* bp = scratch + N / 2;
    double* tables = scratch + N;
    double* y = scratch + 4 * N;
    double* blocks = scratch + 5 * N;
    make_bell(bell_half_width(n, depth), bp, bm);
    zero_doubles(x, n);
    for (int d = depth; d >= 0; --d) {
        const PacketLevel level = make_packet_level(n, depth, d, bp, bm, tables, blocks);
        cosine_packet_synthesis_transforms(T + d * N, level, 0, level.B, y, blocks);
        cosine_packet_synthesis_unfold(y, level, 0, N, x);
    }
}
