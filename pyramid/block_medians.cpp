#include "block_medians.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/arrays.hpp"
#include "host/simd.hpp"
#include "median.hpp"

#if defined(SIMD_X86)
#include <immintrin.h>
#endif

namespace {

// Levels sorted chunk by chunk: 3^7 doubles and their merge buffer stay in L1/L2.
constexpr int kSortedLevels = 7;

// Candidates few enough for selection to finish with nth_element on a copy.
constexpr int kGatherLimit = 256;

// out[0 .. 3m-1] = the merge of the sorted runs a, b, c of m values each,
// by value (equal values may come from either run). The lower half is taken
// from the front and the upper half from the back: two independent chains of
// compare-and-advance, branch-free while no run is spent at either end
// (step); then each end finishes on its own (finish). Two merges stepped in
// one loop keep four chains in flight.
struct Merge {
    const double *a, *b, *c;
    double* out;
    int m, half;
    int i = 0, j = 0, k = 0, f = 0;  // front heads, next output
    int I, J, K, t;                  // back tails, next output

    Merge(const double* run, int m_, double* out_)
        : a(run), b(run + m_), c(run + 2 * m_), out(out_), m(m_), half(3 * m_ / 2), I(m_ - 1), J(m_ - 1), K(m_ - 1),
          t(3 * m_ - 1)
    {
    }

    // Steps that cannot spend a run: a step takes one value at each end.
    int safe_steps() const { return std::min({m - i, m - j, m - k, I + 1, J + 1, K + 1, half - f}); }

    void step()
    {
        const double u = a[i], v = b[j], w = c[k];
        const bool b_low = v < u;
        const double low = b_low ? v : u;
        const bool c_low = w < low;
        out[f++] = c_low ? w : low;
        k += c_low;
        j += !c_low & b_low;
        i += !c_low & !b_low;

        const double U = a[I], V = b[J], W = c[K];
        const bool b_high = U < V;
        const double high = b_high ? V : U;
        const bool c_high = high < W;
        out[t--] = c_high ? W : high;
        K -= c_high;
        J -= !c_high & b_high;
        I -= !c_high & !b_high;
    }

    void finish()
    {
        for (int steps = safe_steps(); steps > 0; steps = safe_steps())
            for (; steps > 0; --steps) step();
        for (; f < half; ++f) {
            int* from = nullptr;
            double best = 0;
            if (i < m) best = a[i], from = &i;
            if (j < m && (!from || b[j] < best)) best = b[j], from = &j;
            if (k < m && (!from || c[k] < best)) best = c[k], from = &k;
            out[f] = best;
            ++*from;
        }
        for (; t >= half; --t) {
            int* from = nullptr;
            double best = 0;
            if (I >= 0) best = a[I], from = &I;
            if (J >= 0 && (!from || best < b[J])) best = b[J], from = &J;
            if (K >= 0 && (!from || best < c[K])) best = c[K], from = &K;
            out[t] = best;
            --*from;
        }
    }
};

// The bracket of a block's median: the least and the greatest median of its
// thirds. More than half of the block's values are at most the greatest
// (each third has more than half of its own at most its median), and more
// than half at least the least.
struct Bracket {
    double low, high;
    explicit Bracket(const double* thirds)
        : low(std::min({thirds[0], thirds[1], thirds[2]})), high(std::max({thirds[0], thirds[1], thirds[2]}))
    {
    }
};

#if defined(SIMD_X86)
#define AVX512 __attribute__((target("avx512f")))
// GCC 12 sees the intrinsics' deliberately undefined pass-through operands
// as uninitialised once they are inlined.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

// Merges of two sorted runs eight values at a time (AVX-512): the eight
// largest values read so far wait in a register; the next eight come from
// the run whose next value is smaller, and a bitonic network splits the
// sixteen into the eight smallest (written out) and the eight largest.
// Reads past a run's end give +Inf, so every run ends in whole blocks of
// eight; the padding sorts last and only na + nb values are written (a +Inf
// of the signal is the same double as the padding).
struct PairMerge {
    const double *a, *b;
    double* out;
};

// Lanes of the first n (clamped to 0 .. 8) of eight.
inline __mmask8 first_lanes(int n) { return n >= 8 ? 0xFF : n <= 0 ? 0 : static_cast<__mmask8>((1u << n) - 1); }

AVX512 inline __m512d load_block(const double* p, int left)
{
    return _mm512_mask_loadu_pd(_mm512_set1_pd(INFINITY), first_lanes(left), p);
}

// A bitonic sequence of eight in ascending order.
AVX512 inline __m512d sort_bitonic(__m512d v)
{
    __m512d p = _mm512_shuffle_f64x2(v, v, _MM_SHUFFLE(1, 0, 3, 2));
    v = _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xF0, v, p);
    p = _mm512_permutex_pd(v, _MM_SHUFFLE(1, 0, 3, 2));
    v = _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xCC, v, p);
    p = _mm512_permute_pd(v, 0x55);
    return _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xAA, v, p);
}

// S merges of the same shape (runs of na and nb values) side by side, so
// that their networks overlap.
template <int S> AVX512 void merge_pairs(const PairMerge* merge, int na, int nb)
{
    const __m512i backwards = _mm512_set_epi64(0, 1, 2, 3, 4, 5, 6, 7);
    const int total = na + nb, blocks = (na + 7) / 8 + (nb + 7) / 8;
    int ia[S], ib[S];
    __m512d high[S];
    for (int s = 0; s < S; ++s) {
        high[s] = load_block(merge[s].a, na);
        ia[s] = 8;
        ib[s] = 0;
    }
    for (int block = 1, o = 0; block < blocks; ++block, o += 8) {
#pragma GCC unroll 4
        for (int s = 0; s < S; ++s) {
            const double* a = merge[s].a;
            const double* b = merge[s].b;
            const bool from_a = ia[s] < na && (ib[s] >= nb || a[ia[s]] <= b[ib[s]]);
            const double* next = from_a ? a + ia[s] : b + ib[s];
            const int left = from_a ? na - ia[s] : nb - ib[s];
            ia[s] += from_a ? 8 : 0;
            ib[s] += from_a ? 0 : 8;
            const __m512d v = _mm512_permutexvar_pd(backwards, load_block(next, left));
            const __m512d low = sort_bitonic(_mm512_min_pd(high[s], v));
            high[s] = sort_bitonic(_mm512_max_pd(high[s], v));
            _mm512_mask_storeu_pd(merge[s].out + o, first_lanes(total - o), low);
        }
    }
    const int o = 8 * (blocks - 1);
    for (int s = 0; s < S; ++s) _mm512_mask_storeu_pd(merge[s].out + o, first_lanes(total - o), high[s]);
}

// One level of a chunk's sort on AVX-512: every group of three sorted runs
// of m in src merged into dst, as (first + second) + third; pairs holds the
// first merges (2m values per group).
AVX512 void merge_level_avx512(const double* src, double* dst, double* pairs, int m, int groups)
{
    constexpr int S = 3;
    const int d = 3 * m, stride = 2 * m;
    const auto pair = [&](int pass, int g) {
        const double* group = src + g * d;
        return pass == 1 ? PairMerge{group, group + m, pairs + g * stride}
                         : PairMerge{pairs + g * stride, group + 2 * m, dst + g * d};
    };
    for (int pass = 1; pass <= 2; ++pass) {
        const int na = pass == 1 ? m : 2 * m;
        int g = 0;
        for (; g + S <= groups; g += S) {
            const PairMerge merge[S] = {pair(pass, g), pair(pass, g + 1), pair(pass, g + 2)};
            merge_pairs<S>(merge, na, m);
        }
        for (; g < groups; ++g) {
            const PairMerge merge = pair(pass, g);
            merge_pairs<1>(&merge, na, m);
        }
    }
}

// The values in [low, high] of R sorted runs of 27 at runs, moved to out in
// order (out may be runs itself or below it); adds to below how many of
// their values lie below low, and returns how many were moved. A run's
// counts come from four comparisons each way, and its values in range
// (consecutive) are moved by masked copies of up to eight.
AVX512 int gather_in_range(const double* runs, int R, double low, double high, double* out, long long& below)
{
    const __m512d lo = _mm512_set1_pd(low), hi = _mm512_set1_pd(high);
    int count = 0;
    for (const double* run = runs; run < runs + 27 * R; run += 27) {
        unsigned under = 0, most = 0;
        for (int i = 0; i < 4; ++i) {
            const __mmask8 lanes = i < 3 ? 0xFF : 0x07;
            const __m512d v = _mm512_maskz_loadu_pd(lanes, run + 8 * i);
            under |= static_cast<unsigned>(_mm512_mask_cmp_pd_mask(lanes, v, lo, _CMP_LT_OQ)) << (8 * i);
            most |= static_cast<unsigned>(_mm512_mask_cmp_pd_mask(lanes, v, hi, _CMP_LE_OQ)) << (8 * i);
        }
        const int first = __builtin_popcount(under), last = __builtin_popcount(most);
        below += first;
        for (int i = first; i < last; i += 8) {
            const __mmask8 lanes = first_lanes(last - i);
            _mm512_mask_storeu_pd(out + count + (i - first), lanes, _mm512_maskz_loadu_pd(lanes, run + i));
        }
        count += last - first;
    }
    return count;
}

// The value of rank q among v[0 .. n-1] (no NaN, n <= 8R), by a bitonic
// sort of 8R values in R registers, +Inf past n. A step (k, j) compares
// value i with value i ^ j and leaves the larger at the higher position
// where i & k is clear (ascending runs of k), at the lower where it is set.
template <int R> AVX512 double rank_in_registers(const double* v, int n, int q)
{
    __m512d r[R];
    for (int a = 0; a < R; ++a) r[a] = load_block(v + 8 * a, n - 8 * a);
    const __m512i partner[3] = {_mm512_set_epi64(6, 7, 4, 5, 2, 3, 0, 1), _mm512_set_epi64(5, 4, 7, 6, 1, 0, 3, 2),
                                _mm512_set_epi64(3, 2, 1, 0, 7, 6, 5, 4)};
    for (int k = 2; k <= 8 * R; k *= 2) {
        for (int j = k / 2; j >= 8; j /= 2) {
            for (int a = 0; a < R; ++a) {
                const int b = a ^ (j / 8);
                if (b < a) continue;
                const __m512d low = _mm512_min_pd(r[a], r[b]), high = _mm512_max_pd(r[a], r[b]);
                const bool descending = (8 * a) & k;
                r[a] = descending ? high : low;
                r[b] = descending ? low : high;
            }
        }
        for (int j = std::min(k / 2, 4), t = j / 2; j > 0; j /= 2, t = j / 2) {
            // Lanes with bit j set, and lanes whose run of k descends.
            const unsigned bit_j = j == 1 ? 0xAA : j == 2 ? 0xCC : 0xF0;
            for (int a = 0; a < R; ++a) {
                const unsigned descending = k < 8 ? (k == 2 ? 0xCC : 0xF0) : (8 * a) & k ? 0xFF : 0;
                const __m512d p = _mm512_permutexvar_pd(partner[t == 0 ? 0 : t == 1 ? 1 : 2], r[a]);
                r[a] = _mm512_mask_max_pd(_mm512_min_pd(r[a], p), static_cast<__mmask8>(bit_j ^ descending), r[a], p);
            }
        }
    }
    alignas(64) double sorted[8 * R];
    for (int a = 0; a < R; ++a) _mm512_store_pd(sorted + 8 * a, r[a]);
    return sorted[q];
}

// rank_in_registers with the fewest registers that hold n <= 128 values.
AVX512 double rank_in_registers(const double* v, int n, int q)
{
    if (n <= 8) return rank_in_registers<1>(v, n, q);
    if (n <= 16) return rank_in_registers<2>(v, n, q);
    if (n <= 32) return rank_in_registers<4>(v, n, q);
    if (n <= 64) return rank_in_registers<8>(v, n, q);
    return rank_in_registers<16>(v, n, q);
}

// The medians of blocks of d = 3^k (k >= 4) values, each given as d/27
// sorted runs of 27 (the runs of block b at runs + b d), from the medians of
// their thirds (thirds[3b .. 3b+2]), into out[b], b < blocks. Each block's
// values within its bracket (see Bracket) are gathered into temp (room for
// d + 8) and the one of the block's rank among them is picked, by a sort
// in registers when there are at most 128.
AVX512 void bracketed_medians(const double* runs, int d, int blocks, const double* thirds, double* out, double* temp)
{
    for (int b = 0; b < blocks; ++b) {
        const Bracket w(thirds + 3 * b);
        long long below = 0;
        const int count = gather_in_range(runs + static_cast<long long>(b) * d, d / 27, w.low, w.high, temp, below);
        const int rank = (d - 1) / 2 - static_cast<int>(below);
        if (count <= 128) {
            out[b] = rank_in_registers(temp, count, rank);
        } else {
            std::nth_element(temp, temp + rank, temp + count);
            out[b] = temp[rank];
        }
    }
}
#pragma GCC diagnostic pop
#endif

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
constexpr int kMergeTriples[][2] = {{0, 3}, {1, 7}, {2, 5}, {4, 8}, {2, 4}, {5, 6}, {0, 2}, {1, 3},
                                    {4, 5}, {7, 8}, {1, 4}, {5, 7}, {0, 1}, {2, 4}, {3, 5}, {6, 8},
                                    {2, 3}, {4, 5}, {6, 7}, {1, 2}, {3, 4}, {5, 6}};

// A network that merges three sorted runs of nine, v[0..8], v[9..17],
// v[18..26]: Batcher's odd-even merge sort of 32 values with the last five
// fixed at +Inf, less every comparator these inputs do not need.
constexpr int kMergeNines[][2] = {
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

// Sorts count chunks x[0 .. count 3^s - 1], each bottom-up, ending in sorted
// (count 3^s values); tmp (as many) is the other buffer of the ping-pong and
// pairs (two thirds as many) the scratch of the AVX-512 merges. The median of
// block b of 3^k within them goes to level_medians[k][b].
void sort_chunk(const double* x, int s, int count, double* sorted, double* tmp, [[maybe_unused]] double* pairs,
                double* const* level_medians)
{
    const int size = count * power_of_three(s);
    // Level k writes into out(k), so that level s ends in sorted.
    const auto out = [&](int k) { return (s - k) % 2 ? tmp : sorted; };
    if (s == 1) {
        double v[3] = {x[0], x[1], x[2]};
        order(v[0], v[1]);
        order(v[1], v[2]);
        order(v[0], v[1]);
        std::copy(v, v + 3, sorted);
        level_medians[1][0] = v[1];
        return;
    }
    // Blocks of 9 (and 27) by comparator networks on values held in registers
    // (the triples, then their merge; then the merge of three nines).
    if (s >= 3) {
        simd::dispatch<blocks_of_27>(x, size / 27, out(3), level_medians);
    } else {
        for (int g = 0; g < size / 9; ++g) {
            double v[9];
            std::copy(x + 9 * g, x + 9 * g + 9, v);
            for (int t = 0; t < 3; ++t) {
                order(v[3 * t], v[3 * t + 1]);
                order(v[3 * t + 1], v[3 * t + 2]);
                order(v[3 * t], v[3 * t + 1]);
                level_medians[1][3 * g + t] = v[3 * t + 1];
            }
            for (const auto& c : kMergeTriples) order(v[c[0]], v[c[1]]);
            std::copy(v, v + 9, sorted + 9 * g);
            level_medians[2][g] = v[4];
        }
    }
    for (int k = 4; k <= s; ++k) {
        const double* src = out(k - 1);
        double* dst = out(k);
        const int m = power_of_three(k - 1), d = 3 * m;
        const int groups = size / d;
#if defined(SIMD_X86)
        if (simd::current_isa() == simd::Isa::avx512) {
            merge_level_avx512(src, dst, pairs, m, groups);
            for (int g = 0; g < groups; ++g) level_medians[k][g] = dst[g * d + (d - 1) / 2];
            continue;
        }
#endif
        // Three merges stepped side by side; any left over on their own.
        int g = 0;
        for (; g + 3 <= groups; g += 3) {
            Merge first(src + g * d, m, dst + g * d);
            Merge second(src + (g + 1) * d, m, dst + (g + 1) * d);
            Merge third(src + (g + 2) * d, m, dst + (g + 2) * d);
            const auto safe = [&] { return std::min({first.safe_steps(), second.safe_steps(), third.safe_steps()}); };
            for (int steps = safe(); steps > 0; steps = safe()) {
                for (; steps > 0; --steps) {
                    first.step();
                    second.step();
                    third.step();
                }
            }
            first.finish();
            second.finish();
            third.finish();
        }
        for (; g < groups; ++g) Merge(src + g * d, m, dst + g * d).finish();
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
bool merged_medians(const double* x, int J, int K, double* work, double* const* level)
{
    const int n = power_of_three(J);
    copy_doubles(x, work, n);
    for (int k = 1; k <= K; ++k) {
        if (!merge_sort_stage(work, J - k + 1, J)) return false;
        const int d = power_of_three(k);
        copy_doubles_strided(work, (d - 1) / 2, d, level[k], 0, 1, n / d);
    }
    return true;
}

// What a scan of the signal found: a NaN, a -0, a +0.
struct Found {
    bool nan = false, negative_zero = false, positive_zero = false;
};

// Adds to found what x[0 .. n-1] holds; the signs of zeros are read one by
// one, only where there are zeros and a sign is still missing.
struct scan_signal {
    template <class Widest> SIMD_INLINE static void run(const double* x, int n, Found* found)
    {
        using V = typename simd::at_most_four<Widest>::type;
        constexpr int W = simd::lanes<V>;
        using Mask = decltype(V{} == V{});
        Mask nans{}, zeros{};
        int i = 0;
        for (; i + W <= n; i += W) {
            const V v = simd::load<V>(x + i);
            nans |= v != v;
            zeros |= v == 0.0;
        }
        bool nan = simd::any(nans), zero = simd::any(zeros);
        for (; i < n; ++i) {
            nan |= x[i] != x[i];
            zero |= x[i] == 0;
        }
        found->nan |= nan;
        for (i = 0; zero && !(found->negative_zero && found->positive_zero) && i < n; ++i) {
            found->negative_zero |= x[i] == 0 && std::signbit(x[i]);
            found->positive_zero |= x[i] == 0 && !std::signbit(x[i]);
        }
    }
};

// Medians by sorting chunks and selecting among their runs. Each chunk is
// scanned just before it is sorted, while it comes into cache; the scan
// stops at the first NaN, leaving found.nan set and the medians unfinished
// (the staged merge then takes over).
bool sorted_medians(const double* x, int J, int K, double* work, double* const* level, Found& found)
{
    const int n = power_of_three(J), s = std::min(K, kSortedLevels), chunk = power_of_three(s);
    const int runs = K > s ? power_of_three(K - s) : 0;
    const size_t slots = std::max(runs, 1);
    // The ping-pong buffer (3 chunks) and the first merges of a level (2).
    double* tmp = static_cast<double*>(std::malloc(5 * chunk * sizeof(double)));
    int* windows = static_cast<int*>(std::malloc(4 * slots * sizeof(int)));
    auto* middles = static_cast<RunWindows::Middle*>(std::malloc(slots * sizeof(RunWindows::Middle)));
    const bool ok = tmp && windows && middles;
    if (ok) {
        double* chunk_level[kSortedLevels + 1];
        // Chunks three at a time where there are merges, so that even the
        // last level has three merges to step side by side.
        const int chunks = n / chunk, step = s >= 4 ? 3 : 1;
        for (int c = 0; c < chunks && !found.nan; c += step) {
            const int count = std::min(step, chunks - c);
            simd::dispatch<scan_signal>(x + c * chunk, count * chunk, &found);
            if (found.nan) break;
            for (int k = 1; k <= s; ++k) chunk_level[k] = level[k] + c * (chunk / power_of_three(k));
            sort_chunk(x + c * chunk, s, count, work + c * chunk, tmp, tmp + 3 * chunk, chunk_level);
        }
        RunWindows win{windows, windows + runs, windows + 2 * runs, windows + 3 * runs, middles};
        for (int k = s + 1; k <= K && !found.nan; ++k) {
            const int d = power_of_three(k), R = d / chunk;
            for (int b = 0; b < n / d; ++b) {
                const Bracket w(level[k - 1] + 3 * b);
                level[k][b] = select_in_runs(work + static_cast<long long>(b) * d, R, chunk, (d - 1) / 2, w.low,
                                             w.high, win);
            }
        }
    }
    std::free(tmp);
    std::free(windows);
    std::free(middles);
    return ok;
}

enum class Outcome { done, nan, declined, no_memory };

#if defined(SIMD_X86)
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

// Chunks taken together: small chunks (K < 7) share a call of each kernel.
constexpr int kChunkGroup = 4;

// Medians by selection, without merging beyond blocks of 27: fast where the
// brackets hold few values, as in noise.
//
//   chunks of 3^s (s <= 7): each is scanned, its blocks of 27 are sorted by
//       the networks (into work, in place of x's values), and each block of
//       3^k, 4 <= k <= s, picks its median among its values in its bracket;
//   above:  every bracket lies within [least, greatest] of the medians of
//       the chunks, and then of the level below. The values in that range
//       (the pool) are kept, chunk by chunk, in work, with the count of each
//       chunk's values below it; every block selects among its pool values,
//       and after each level the pool shrinks to the new medians' range.
//
// Declined, leaving the sorted chunks to do the work, when the first chunk's
// own bracket holds more than an eighth of its values (smooth signals, where
// the brackets are wide), or when the first pool would fill more than half
// of work (the other half holds the candidates of a block).
Outcome selected_medians(const double* x, int J, int K, double* work, double* const* level, Found& found)
{
    const int n = power_of_three(J), s = std::min(K, kSortedLevels), chunk = power_of_three(s);
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
        double* runs = work + static_cast<long long>(c) * chunk;
        simd::dispatch<scan_signal>(xc, group * chunk, &found);
        if (found.nan) {
            outcome = Outcome::nan;
            break;
        }
        double* group_level[kSortedLevels + 1];
        for (int k = 1; k <= s; ++k) group_level[k] = level[k] + c * (chunk / power_of_three(k));
        simd::dispatch<blocks_of_27>(xc, group * chunk / 27, runs, group_level);
        for (int k = 4; k <= s; ++k) {
            const int d = power_of_three(k);
            bracketed_medians(runs, d, group * chunk / d, group_level[k - 1], group_level[k], temp);
        }
        if (c == 0) {
            const Bracket w(group_level[s - 1]);
            int inside = 0;
            for (int i = 0; i < chunk; ++i) inside += (w.low <= xc[i]) & (xc[i] <= w.high);
            if (8 * inside > chunk) outcome = Outcome::declined;
        }
    }
    if (outcome == Outcome::done && K > s) {
        // The first pool, from the sorted runs: each run's values in range
        // are consecutive, and are moved down within work.
        const double* top = level[s];
        double low = *std::min_element(top, top + chunks), high = *std::max_element(top, top + chunks);
        int pooled = 0;
        for (int c = 0; c < chunks && pooled <= n / 2; ++c) {
            pool_start[c] = pooled;
            long long below = 0;
            pooled += gather_in_range(work + static_cast<long long>(c) * chunk, chunk / 27, low, high, work + pooled, below);
            under[c] = static_cast<int>(below);
        }
        pool_start[chunks] = pooled;
        if (pooled > n / 2) outcome = Outcome::declined;
        for (int k = s + 1; k <= K && outcome == Outcome::done; ++k) {
            const int d = power_of_three(k), R = d / chunk;
            for (int b = 0; b < n / d; ++b) {
                const Bracket w(level[k - 1] + 3 * b);
                long long below = 0;
                for (int c = b * R; c < (b + 1) * R; ++c) below += under[c];
                const int first = pool_start[b * R], last = pool_start[(b + 1) * R];
                double* candidates = work + n / 2;
                const int count = keep_in_range(work + first, last - first, w.low, w.high, candidates, below);
                double* median = candidates + ((d - 1) / 2 - below);
                std::nth_element(candidates, median, candidates + count);
                level[k][b] = *median;
            }
            if (k == K) break;
            // The next brackets lie within the range of this level's medians.
            low = *std::min_element(level[k], level[k] + n / d);
            high = *std::max_element(level[k], level[k] + n / d);
            int kept = 0;
            for (int c = 0; c < chunks; ++c) {
                const int first = pool_start[c], last = pool_start[c + 1];
                pool_start[c] = kept;
                long long below = 0;
                kept += keep_in_range(work + first, last - first, low, high, work + kept, below);
                under[c] += static_cast<int>(below);
            }
            pool_start[chunks] = kept;
        }
    }
    std::free(temp);
    std::free(pool_start);
    return outcome;
}
#endif

} // namespace

bool triadic_block_medians(const double* x, int J, int K, double* work, double* const* level)
{
    if (K < 1) return true;
    Found found;
    Outcome outcome = Outcome::declined;
#if defined(SIMD_X86)
    // Selection pays with AVX-512's masked loads and sorts in registers.
    if (K >= 4 && simd::current_isa() == simd::Isa::avx512) outcome = selected_medians(x, J, K, work, level, found);
#endif
    if (outcome == Outcome::no_memory) return false;
    if (outcome == Outcome::declined && !sorted_medians(x, J, K, work, level, found)) return false;
    if (found.nan) return merged_medians(x, J, K, work, level);
    // Zero medians are +0 unless the signal holds a -0.
    if (found.negative_zero) {
        const int n = power_of_three(J);
        for (int k = 1; k <= K; ++k) {
            const int d = power_of_three(k);
            for (int b = 0; b < n / d; ++b)
                if (level[k][b] == 0)
                    level[k][b] = found.positive_zero ? merged_zero(x + static_cast<long long>(b) * d, d) : -0.0;
        }
    }
    return true;
}
