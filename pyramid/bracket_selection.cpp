// The selection strategy: blocks of 27 sorted by networks, larger blocks'
// medians selected among their values within their brackets.
#include <algorithm>
#include <cstdlib>

#include "bracket_selection.hpp"
#include "simd/simd.hpp"
#include "median_strategies.hpp"
#include "simd/avx512_bracket_selection.hpp"
#include "sorting_networks.hpp"
#include "staged_merge.hpp"

namespace median_strategies {

namespace {

// The values of v[0 .. n-1] in [low, high], moved to out in order (out may
// be v itself or below it), branch-free; adds to below how many lie below
// low, and returns how many were moved.
int keep_in_range(const double* v, int n, double low, double high, double* out, long long& below)
{
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const double u = v[i];
        below += u < low;
        out[count] = u;
        count += (low <= u) & (u <= high);
    }
    return count;
}

// Chunks taken together: small chunks (depth < 7) share a call of each kernel.
constexpr int kChunkGroup = 4;

// Medians by selection, without merging beyond blocks of 27: fast where the
// brackets hold few values, as in noise.
//
//   chunks of 3^s (s <= 7): each is scanned, its blocks of 27 are sorted by
//       the networks (into scratch, in place of x's values), and each block
//       of 3^k, 4 <= k <= s, picks its median among its values in its
//       bracket;
//   above:  every bracket lies within [least, greatest] of the medians of
//       the chunks, and then of the level below. The values in that range
//       (the pool) are kept, chunk by chunk, in scratch, with the count of
//       each chunk's values below it; every block selects among its pool
//       values, and after each level the pool shrinks to the new medians'
//       range.
//
// Declined, leaving the sorted chunks to do the work, when (unless forced)
// the first chunk's own bracket holds more than an eighth of its values
// (smooth signals, where the brackets are wide), or when the first pool
// would fill more than half of scratch (the other half holds the candidates
// of a block).
template <class Widest>
Outcome selected(const double* x, int log3n, int depth, double* const* medians, double* scratch, bool forced,
                 Found* found)
{
    using kernels = bracket_kernels<Widest>;
    const int n = power_of_three(log3n), s = std::min(depth, kSortedLevels), chunk = power_of_three(s);
    const int chunks = n / chunk;
    // Candidates of a block.
    double* temp = static_cast<double*>(std::malloc((chunk + 8) * sizeof(double)));
    // Per chunk: where its pool values start (one entry past the last
    // chunk), and how many of its values lie below the pool.
    int* pool_start = static_cast<int*>(std::malloc(2 * (chunks + 1) * sizeof(int)));
    int* under = pool_start + chunks + 1;
    Outcome outcome = temp && pool_start ? Outcome::done : Outcome::no_memory;
    for (int c = 0; c < chunks && outcome == Outcome::done; c += kChunkGroup) {
        const int group = std::min(kChunkGroup, chunks - c);
        const double* xc = x + static_cast<long long>(c) * chunk;
        double* runs = scratch + static_cast<long long>(c) * chunk;
        simd::dispatch<scan_signal>(xc, group * chunk, found);
        if (found->nan) {
            outcome = Outcome::nan;
            break;
        }
        double* group_level[kSortedLevels + 1];
        for (int k = 1; k <= s; ++k) group_level[k] = medians[k] + c * (chunk / power_of_three(k));
        simd::dispatch<networks::blocks_of_27>(xc, group * chunk / 27, runs, group_level);
        for (int k = 4; k <= s; ++k) {
            const int d = power_of_three(k);
            kernels::block_medians(runs, d, group * chunk / d, group_level[k - 1], group_level[k], temp);
        }
        if (c == 0 && !forced) {
            const Bracket w(group_level[s - 1]);
            int inside = 0;
            for (int i = 0; i < chunk; ++i) inside += (w.low <= xc[i]) & (xc[i] <= w.high);
            if (8 * inside > chunk) outcome = Outcome::declined;
        }
    }
    if (outcome == Outcome::done && depth > s) {
        // The first pool, from the sorted runs: each run's values in range
        // are consecutive, and are moved down within scratch.
        const double* top = medians[s];
        double low = *std::min_element(top, top + chunks), high = *std::max_element(top, top + chunks);
        int pooled = 0;
        for (int c = 0; c < chunks && pooled <= n / 2; ++c) {
            pool_start[c] = pooled;
            long long below = 0;
            pooled += kernels::gather_in_range(scratch + static_cast<long long>(c) * chunk, chunk / 27, low, high, scratch + pooled, below);
            under[c] = static_cast<int>(below);
        }
        pool_start[chunks] = pooled;
        if (pooled > n / 2) outcome = Outcome::declined;
        for (int k = s + 1; k <= depth && outcome == Outcome::done; ++k) {
            const int d = power_of_three(k), R = d / chunk;
            for (int b = 0; b < n / d; ++b) {
                const Bracket w(medians[k - 1] + 3 * b);
                long long below = 0;
                for (int c = b * R; c < (b + 1) * R; ++c) below += under[c];
                const int first = pool_start[b * R], last = pool_start[(b + 1) * R];
                double* candidates = scratch + n / 2;
                const int count = keep_in_range(scratch + first, last - first, w.low, w.high, candidates, below);
                double* median = candidates + ((d - 1) / 2 - below);
                std::nth_element(candidates, median, candidates + count);
                medians[k][b] = *median;
            }
            if (k == depth) break;
            // The next brackets lie within the range of this level's medians.
            low = *std::min_element(medians[k], medians[k] + n / d);
            high = *std::max_element(medians[k], medians[k] + n / d);
            int kept = 0;
            for (int c = 0; c < chunks; ++c) {
                const int first = pool_start[c], last = pool_start[c + 1];
                pool_start[c] = kept;
                long long below = 0;
                kept += keep_in_range(scratch + first, last - first, low, high, scratch + kept, below);
                under[c] += static_cast<int>(below);
            }
            pool_start[chunks] = kept;
        }
    }
    std::free(temp);
    std::free(pool_start);
    return outcome;
}

// The selection on the current path, where it pays or is forced.
struct selection {
    template <class Widest>
    SIMD_INLINE static void run(const double* x, int log3n, int depth, double* const* medians, double* scratch,
                                bool forced, Found* found, Outcome* outcome)
    {
        *outcome = bracket_kernels<Widest>::pays || forced
                       ? selected<Widest>(x, log3n, depth, medians, scratch, forced, found)
                       : Outcome::declined;
    }
};

} // namespace

Outcome selected_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch, bool forced,
                         Found* found)
{
    Outcome outcome = Outcome::declined;
    simd::dispatch<selection>(x, log3n, depth, medians, scratch, forced, found, &outcome);
    return outcome;
}

} // namespace median_strategies
