#include "block_medians.hpp"

#include <atomic>
#include <cmath>

#include "common/arrays.hpp"
#include "median_strategies.hpp"
#include "staged_merge.hpp"

using namespace median_strategies;
using pyramid::MedianStrategy;

namespace {

// The test switch, and the strategy of the last call (atomic, so that calls
// on several threads may record it).
std::atomic<MedianStrategy> forced_strategy{MedianStrategy::chosen};
std::atomic<MedianStrategy> strategy_used{MedianStrategy::chosen};

// Sign of a zero median as the merge gives it. The merge orders the zeros
// of a block (+0 and -0 compare equal) by decreasing position and puts them
// after the negative values; the median is the zero that lands in the middle.
double merged_zero(const double* block, int d)
{
    int negative = 0, zeros = 0;
    for (int i = 0; i < d; ++i) {
        negative += block[i] < 0;
        zeros += block[i] == 0;
    }
    int from_first = zeros - 1 - ((d - 1) / 2 - negative);
    for (int i = 0; i < d; ++i)
        if (block[i] == 0 && from_first-- == 0) return block[i];
    return 0.0;  // not reached: the median is one of the zeros
}

// Medians of all levels by the staged merge itself (signals with NaN).
bool merged_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch)
{
    const int n = power_of_three(log3n);
    copy_doubles(x, scratch, n);
    for (int k = 1; k <= depth; ++k) {
        if (!merge_sort_stage(scratch, log3n, log3n - k + 1)) return false;
        block_middles(scratch, n, power_of_three(k), medians[k]);
    }
    return true;
}

// The fast strategies, selection first where it is chosen or forced (the
// sorted chunks on up to `threads` threads); false when work memory cannot be
// allocated.
bool fast_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch, Found* found,
                  int threads)
{
    const MedianStrategy forced = forced_strategy.load(std::memory_order_relaxed);
    Outcome outcome = Outcome::declined;
    if (depth >= 4 && forced != MedianStrategy::sorted_chunks)
        outcome = selected_medians(x, log3n, depth, medians, scratch, forced == MedianStrategy::selection, found);
    if (outcome == Outcome::no_memory) return false;
    strategy_used.store(MedianStrategy::selection, std::memory_order_relaxed);
    if (outcome != Outcome::declined) return true;
    strategy_used.store(MedianStrategy::sorted_chunks, std::memory_order_relaxed);
    return sorted_medians(x, log3n, depth, medians, scratch, found, threads);
}

} // namespace

bool triadic_block_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch,
                           int threads)
{
    if (depth < 1) return true;
    Found found;
    const bool merge_only = forced_strategy.load(std::memory_order_relaxed) == MedianStrategy::staged_merge;
    if (!merge_only && !fast_medians(x, log3n, depth, medians, scratch, &found, threads)) return false;
    if (merge_only || found.nan) {
        strategy_used.store(MedianStrategy::staged_merge, std::memory_order_relaxed);
        return merged_medians(x, log3n, depth, medians, scratch);
    }
    // Zero medians are +0 unless the signal holds a -0.
    if (found.negative_zero) {
        const int n = power_of_three(log3n);
        for (int k = 1; k <= depth; ++k) {
            const int d = power_of_three(k);
            for (int b = 0; b < n / d; ++b)
                if (medians[k][b] == 0)
                    medians[k][b] = found.positive_zero ? merged_zero(x + static_cast<long long>(b) * d, d) : -0.0;
        }
    }
    return true;
}

namespace pyramid {

void force_median_strategy(MedianStrategy strategy) { forced_strategy.store(strategy, std::memory_order_relaxed); }

MedianStrategy median_strategy_used() { return strategy_used.load(std::memory_order_relaxed); }

const char* median_strategy_name(MedianStrategy strategy)
{
    switch (strategy) {
    case MedianStrategy::selection: return "selection";
    case MedianStrategy::sorted_chunks: return "sorted chunks";
    case MedianStrategy::staged_merge: return "staged merge";
    default: return "chosen";
    }
}

} // namespace pyramid
