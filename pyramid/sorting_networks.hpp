// Comparator networks that sort the small blocks of a chunk: blocks of 3 by
// three compare-exchanges, the merge of three sorted triples into a sorted
// nine, and of three sorted nines into a sorted 27. A compare-exchange
// leaves min(a, b) in a and max(a, b) in b, so without NaN a network
// sorts by '<' and the middle of each sorted block is its median.
#pragma once

#include <algorithm>

#include "simd/simd.hpp"

namespace networks {

// Compare-exchange: a, b in ascending order.
inline void order(double& a, double& b)
{
    const double lo = std::min(a, b), hi = std::max(a, b);
    a = lo;
    b = hi;
}

// A network that merges three sorted triples v[0..2], v[3..5], v[6..8]: a
// sorting network for nine values less the comparators such inputs never
// need. (A network that sorts every such input of zeros and ones sorts every
// such input; each was checked on all of them when it was derived.)
inline constexpr int kMergeTriples[][2] = {{0, 3}, {1, 7}, {2, 5}, {4, 8}, {2, 4}, {5, 6}, {0, 2}, {1, 3},
                                    {4, 5}, {7, 8}, {1, 4}, {5, 7}, {0, 1}, {2, 4}, {3, 5}, {6, 8},
                                    {2, 3}, {4, 5}, {6, 7}, {1, 2}, {3, 4}, {5, 6}};

// A network that merges three sorted runs of nine, v[0..8], v[9..17],
// v[18..26]: Batcher's odd-even merge sort of 32 values with the last five
// fixed at +Inf, less every comparator these inputs do not need.
inline constexpr int kMergeNines[][2] = {
    {8, 9}, {9, 11}, {11, 15}, {11, 13}, {9, 10}, {11, 12}, {13, 14}, {0, 8}, {4, 12}, {4, 8}, {2, 10}, {6, 14},
    {6, 10}, {2, 4}, {6, 8}, {10, 12}, {1, 9}, {5, 13}, {5, 9}, {3, 11}, {7, 11}, {3, 5}, {7, 9}, {11, 13}, {1, 2},
    {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}, {13, 14}, {16, 18}, {17, 19}, {18, 22}, {18, 20}, {19, 23}, {19, 21},
    {22, 26}, {22, 24}, {23, 25}, {17, 18}, {19, 20}, {21, 22}, {23, 24}, {25, 26}, {0, 16}, {8, 24}, {8, 16},
    {4, 20}, {12, 20}, {4, 8}, {12, 16}, {20, 24}, {2, 18}, {10, 26}, {10, 18}, {6, 22}, {14, 22}, {6, 10}, {14, 18},
    {22, 26}, {2, 4}, {6, 8}, {10, 12}, {14, 16}, {18, 20}, {22, 24}, {1, 17}, {9, 25}, {9, 17}, {5, 21}, {13, 21},
    {5, 9}, {13, 17}, {21, 25}, {3, 19}, {11, 19}, {7, 23}, {15, 23}, {7, 11}, {15, 19}, {3, 5}, {7, 9}, {11, 13},
    {15, 17}, {19, 21}, {23, 25}, {1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}, {13, 14}, {15, 16}, {17, 18},
    {19, 20}, {21, 22}, {23, 24}, {25, 26}};

// Lane l of v (a double for one lane).
template <class V> SIMD_INLINE double lane(const V& v, int l)
{
    if constexpr (simd::lanes<V> == 1)
        return v;
    else
        return v[l];
}

// W = lanes<V> consecutive blocks of 27 from x sorted into out, lane l
// holding block l: the triples, their merges into nines, the merge of the
// nines, by the networks above. The medians of the blocks of 3, 9 and 27 go
// to m1[0 .. 9W-1], m2[0 .. 3W-1] and m3[0 .. W-1].
template <class V> SIMD_INLINE void sort_blocks_of_27(const double* x, double* out, double* m1, double* m2, double* m3)
{
    constexpr int W = simd::lanes<V>;
    const auto order = [](V& a, V& b) {
        const V lo = simd::select(b < a, b, a), hi = simd::select(a < b, b, a);
        a = lo;
        b = hi;
    };
    V v[27];
    for (int i = 0; i < 27; ++i) {
        if constexpr (W == 1) {
            v[i] = x[i];
        } else {
            for (int l = 0; l < W; ++l) v[i][l] = x[27 * l + i];
        }
    }
SIMD_UNROLL(9)
    for (int t = 0; t < 9; ++t) {
        order(v[3 * t], v[3 * t + 1]);
        order(v[3 * t + 1], v[3 * t + 2]);
        order(v[3 * t], v[3 * t + 1]);
        for (int l = 0; l < W; ++l) m1[9 * l + t] = lane(v[3 * t + 1], l);
    }
SIMD_UNROLL(3)
    for (int u = 0; u < 3; ++u) {
        V* nine = v + 9 * u;
SIMD_UNROLL(22)
        for (const auto& c : kMergeTriples) order(nine[c[0]], nine[c[1]]);
        for (int l = 0; l < W; ++l) m2[3 * l + u] = lane(nine[4], l);
    }
SIMD_UNROLL(100)
    for (const auto& c : kMergeNines) order(v[c[0]], v[c[1]]);
    for (int l = 0; l < W; ++l) {
        m3[l] = lane(v[13], l);
        for (int i = 0; i < 27; ++i) out[27 * l + i] = lane(v[i], l);
    }
}

// Every block of 27 of a chunk (count of them) sorted into out, with its
// medians of 3, 9 and 27: four blocks at a time while four remain (the
// networks are the same for every block, so each lane runs one block).
struct blocks_of_27 {
    template <class Widest>
    SIMD_INLINE static void run(const double* x, int count, double* out, double* const* level_medians)
    {
        using V = typename simd::at_most_four<Widest>::type;
        constexpr int W = simd::lanes<V>;
        double* const* m = level_medians;
        int b = 0;
        for (; b + W <= count; b += W)
            sort_blocks_of_27<V>(x + 27 * b, out + 27 * b, m[1] + 9 * b, m[2] + 3 * b, m[3] + b);
        for (; b < count; ++b)
            sort_blocks_of_27<double>(x + 27 * b, out + 27 * b, m[1] + 9 * b, m[2] + 3 * b, m[3] + b);
    }
};

} // namespace networks
