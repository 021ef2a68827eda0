// The sorted-chunks strategy: chunks of 3^s samples (s = min(depth, 7)) are
// sorted bottom-up, networks for the blocks of 3, 9 and 27 and then merges
// (chunk_merges.hpp), each block's median being the middle of its sorted
// run; above the chunks a block of d = 3^k is R = d/3^s sorted runs, and its
// median, the value of rank (d - 1)/2 among them, is selected within its
// bracket by shrinking one window per run.
#include <algorithm>
#include <cstdlib>

#include "simd/simd.hpp"
#include "common/threads.hpp"
#include "median_strategies.hpp"
#include "chunk_merges.hpp"
#include "simd/avx512_bitonic_merge.hpp"
#include "sorting_networks.hpp"
#include "staged_merge.hpp"

namespace median_strategies {

namespace {

// Candidates few enough for selection to finish with nth_element on a copy.
constexpr int kGatherLimit = 256;

// One level of a chunk's merges on the current path.
struct merge_level {
    template <class Widest>
    SIMD_INLINE static void run(const double* src, int m, int groups, double* dst, double* pairs)
    {
        chunk_level_merge<Widest>::run(src, m, groups, dst, pairs);
    }
};

// Sorts count chunks x[0 .. count 3^s - 1], each bottom-up, ending in sorted
// (count 3^s values); the median of block b of 3^k within them goes to
// level_medians[k][b]. tmp (as many values) is the other buffer of the
// ping-pong and pairs (two thirds as many) the scratch of merges taken two
// runs at a time.
void sort_chunk(const double* x, int s, int count, double* sorted, double* const* level_medians, double* tmp,
                double* pairs)
{
    const int size = count * power_of_three(s);
    // Level k writes into out(k), so that level s ends in sorted.
    const auto out = [&](int k) { return (s - k) % 2 ? tmp : sorted; };
    if (s == 1) {
        double v[3] = {x[0], x[1], x[2]};
        networks::order(v[0], v[1]);
        networks::order(v[1], v[2]);
        networks::order(v[0], v[1]);
        std::copy(v, v + 3, sorted);
        level_medians[1][0] = v[1];
        return;
    }
    // Blocks of 9 (and 27) by comparator networks on values held in registers
    // (the triples, then their merge; then the merge of three nines).
    if (s >= 3) {
        simd::dispatch<networks::blocks_of_27>(x, size / 27, out(3), level_medians);
    } else {
        for (int g = 0; g < size / 9; ++g) {
            double v[9];
            std::copy(x + 9 * g, x + 9 * g + 9, v);
            for (int t = 0; t < 3; ++t) {
                networks::order(v[3 * t], v[3 * t + 1]);
                networks::order(v[3 * t + 1], v[3 * t + 2]);
                networks::order(v[3 * t], v[3 * t + 1]);
                level_medians[1][3 * g + t] = v[3 * t + 1];
            }
            for (const auto& c : networks::kMergeTriples) networks::order(v[c[0]], v[c[1]]);
            std::copy(v, v + 9, sorted + 9 * g);
            level_medians[2][g] = v[4];
        }
    }
    for (int k = 4; k <= s; ++k) {
        const double* src = out(k - 1);
        double* dst = out(k);
        const int m = power_of_three(k - 1), d = 3 * m;
        const int groups = size / d;
        simd::dispatch<merge_level>(src, m, groups, dst, pairs);
        for (int g = 0; g < groups; ++g) level_medians[k][g] = dst[g * d + (d - 1) / 2];
    }
}

// Scratch of the selection among sorted runs, one entry per run.
struct RunWindows {
    int *lo, *hi, *lt, *le;
    struct Middle {
        double value;
        int weight;
    } * middles;
};

// Element of rank p (from 0) of the union of R sorted runs of m values
// starting at base, known to lie in [low, high]. Each run keeps a window
// [lo, hi) of candidates, at first its values in [low, high]; a pivot (the
// middle of the windows, weighted by their sizes) splits every window by
// binary search, and the side that cannot hold rank p is dropped. The pivot
// itself always leaves, and at least a quarter of the candidates with it.
double select_in_runs(const double* base, int R, int m, long long p, double low, double high, RunWindows& win)
{
    const auto run = [&](int r) { return base + static_cast<long long>(r) * m; };
    for (int r = 0; r < R; ++r) {
        const double* first = run(r);
        win.lo[r] = static_cast<int>(std::lower_bound(first, first + m, low) - first);
        win.hi[r] = static_cast<int>(std::upper_bound(first + win.lo[r], first + m, high) - first);
        p -= win.lo[r];
    }
    for (;;) {
        long long total = 0;
        int live = 0;
        for (int r = 0; r < R; ++r) {
            const int size = win.hi[r] - win.lo[r];
            if (size == 0) continue;
            total += size;
            win.middles[live++] = {run(r)[(win.lo[r] + win.hi[r]) / 2], size};
        }
        if (total <= kGatherLimit) {
            double gathered[kGatherLimit];
            int g = 0;
            for (int r = 0; r < R; ++r)
                for (int i = win.lo[r]; i < win.hi[r]; ++i) gathered[g++] = run(r)[i];
            std::nth_element(gathered, gathered + p, gathered + g);
            return gathered[p];
        }
        std::sort(win.middles, win.middles + live,
                  [](const RunWindows::Middle& u, const RunWindows::Middle& v) { return u.value < v.value; });
        long long weight = 0;
        int q = 0;
        while (2 * (weight + win.middles[q].weight) < total) weight += win.middles[q++].weight;
        const double pivot = win.middles[q].value;

        // below: candidates < pivot; upto: candidates <= pivot.
        long long below = 0, upto = 0;
        for (int r = 0; r < R; ++r) {
            const double* first = run(r);
            win.lt[r] = static_cast<int>(std::lower_bound(first + win.lo[r], first + win.hi[r], pivot) - first);
            win.le[r] = static_cast<int>(std::upper_bound(first + win.lt[r], first + win.hi[r], pivot) - first);
            below += win.lt[r] - win.lo[r];
            upto += win.le[r] - win.lo[r];
        }
        if (p < below) {
            std::copy(win.lt, win.lt + R, win.hi);
        } else if (p < upto) {
            return pivot;
        } else {
            p -= upto;
            std::copy(win.le, win.le + R, win.lo);
        }
    }
}

} // namespace

// Each chunk is scanned just before it is sorted, while it comes into cache;
// the scan stops at the first NaN, leaving found->nan set and the medians
// unfinished (the staged merge then takes over). On several threads the
// groups of chunks, and then each level's blocks above the chunks, are
// shared out: every median is found by the same steps as on one thread.
bool sorted_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch, Found* found,
                    int threads)
{
    const int n = power_of_three(log3n), s = std::min(depth, kSortedLevels), chunk = power_of_three(s);
    const int runs = depth > s ? power_of_three(depth - s) : 0;
    const size_t slots = std::max(runs, 1);
    const int t = std::clamp(threads, 1, threads::kMost);
    // Per thread: the ping-pong buffer (3 chunks) and the first merges of a
    // level (2); the windows of the selection among runs.
    struct Work {
        double* tmp = nullptr;
        int* windows = nullptr;
        RunWindows::Middle* middles = nullptr;
        Found found;
    } work[threads::kMost];
    bool ok = true;
    for (int i = 0; i < t; ++i) {
        work[i].tmp = static_cast<double*>(std::malloc(5 * chunk * sizeof(double)));
        work[i].windows = static_cast<int*>(std::malloc(4 * slots * sizeof(int)));
        work[i].middles = static_cast<RunWindows::Middle*>(std::malloc(slots * sizeof(RunWindows::Middle)));
        ok = ok && work[i].tmp && work[i].windows && work[i].middles;
    }
    if (ok) {
        // Chunks three at a time where there are merges, so that even the
        // last level has three merges to step side by side.
        const int chunks = n / chunk, step = s >= 4 ? 3 : 1, groups = (chunks + step - 1) / step;
        threads::for_parts(groups, t, [&](int slot, int g0, int g1) {
            Work& own = work[slot];
            double* chunk_level[kSortedLevels + 1];
            for (int c = g0 * step; c < std::min(chunks, g1 * step) && !own.found.nan; c += step) {
                const int count = std::min(step, chunks - c);
                simd::dispatch<scan_signal>(x + c * chunk, count * chunk, &own.found);
                if (own.found.nan) break;
                for (int k = 1; k <= s; ++k) chunk_level[k] = medians[k] + c * (chunk / power_of_three(k));
                sort_chunk(x + c * chunk, s, count, scratch + c * chunk, chunk_level, own.tmp, own.tmp + 3 * chunk);
            }
        });
        for (int i = 0; i < t; ++i) {
            found->nan |= work[i].found.nan;
            found->negative_zero |= work[i].found.negative_zero;
            found->positive_zero |= work[i].found.positive_zero;
        }
        for (int k = s + 1; k <= depth && !found->nan; ++k) {
            const int d = power_of_three(k), R = d / chunk;
            threads::for_parts(n / d, t, [&](int slot, int b0, int b1) {
                int* windows = work[slot].windows;
                RunWindows win{windows, windows + runs, windows + 2 * runs, windows + 3 * runs, work[slot].middles};
                for (int b = b0; b < b1; ++b) {
                    const Bracket w(medians[k - 1] + 3 * b);
                    medians[k][b] = select_in_runs(scratch + static_cast<long long>(b) * d, R, chunk, (d - 1) / 2,
                                                   w.low, w.high, win);
                }
            });
        }
    }
    for (int i = 0; i < t; ++i) {
        std::free(work[i].tmp);
        std::free(work[i].windows);
        std::free(work[i].middles);
    }
    return ok;
}

} // namespace median_strategies
