#include "pyramid.hpp"

#include <algorithm>
#include <cstdlib>

#include "average.hpp"
#include "block_medians.hpp"
#include "common/arrays.hpp"
#include "simd/simd.hpp"
#include "common/threads.hpp"
#include "median.hpp"
#include "staged_merge.hpp"

namespace {

// Scale of level j in a pyramid of J levels: 3^((J - j)/2).
double scale_of(int J, int j) { return half_power_of_three(J - j); }

// Blocks of a level refined at a time: their predictions stay in L1 while
// the level's values are combined with them, instead of a pass over memory.
constexpr int kChunkBlocks = 512;
constexpr int kChunkValues = 3 * (kChunkBlocks + 2);

// The least level an inverse splits over threads: 3^10 values. Each split
// costs a start and join of the threads (about 30 us); a level of 3^10 takes
// about 80 us by the average rules and 300 us by the median rules on one
// thread (bench_pyramid_bench), so below it the split gains little or loses.
constexpr int kThreadedLevel = 59049;

// The predictions of blocks b .. b+count-1 (count <= kChunkBlocks) of the
// refinement of the m values v, i.e. what refine (v, ., m, D) writes at 3b:
// the values b-1 .. b+count are refined into chunk (at least three of them),
// so each of the blocks has the rule and the operands it has in the whole
// level (the level's first and last blocks keep their edge rules). Returns
// where block b's three values start. A degree without a rule predicts zero.
const double* refine_blocks(const double* v, int m, int D, int b, int count, refine_step refine, double* chunk)
{
    const int hi = std::min(b + count + 1, m);
    const int lo = std::max(0, std::min(b - 1, hi - 3));
    if ((D != 0 && D != 2) || hi - lo < 3) zero_doubles(chunk, 3 * (hi - lo));
    refine(v + lo, hi - lo, D, chunk);
    return chunk + 3 * (b - lo);
}

// out[i] = (fine[i] - pred[i]) * s: scaled residuals.
struct residuals {
    template <class V> SIMD_INLINE static void run(const double* fine, const double* pred, double s, double* out, int n)
    {
        int i = 0;
        for (; i + simd::lanes<V> <= n; i += simd::lanes<V>)
            simd::store(out + i, (simd::load<V>(fine + i) - simd::load<V>(pred + i)) * s);
        for (; i < n; ++i) out[i] = (fine[i] - pred[i]) * s;
    }
};

// out[i] = c[i] / s + pred[i]: residuals unscaled and added to their prediction.
struct unscaled_sums {
    template <class V> SIMD_INLINE static void run(const double* c, const double* pred, double s, double* out, int n)
    {
        int i = 0;
        for (; i + simd::lanes<V> <= n; i += simd::lanes<V>)
            simd::store(out + i, simd::load<V>(c + i) / s + simd::load<V>(pred + i));
        for (; i < n; ++i) out[i] = c[i] / s + pred[i];
    }
};

// coarse[i] = (fine[3i] + fine[3i+1] + fine[3i+2]) / 3, first <= i < last.
struct block_averages {
    template <class V> SIMD_INLINE static void run(const double* fine, double* coarse, int first, int last)
    {
        int i = first;
        for (; i + simd::lanes<V> <= last; i += simd::lanes<V>) {
            V a, b, c;
            simd::load_deinterleaved(fine + 3 * i, a, b, c);
            simd::store(coarse + i, (a + b + c) / 3.0);
        }
        for (; i < last; ++i) coarse[i] = (fine[3 * i] + fine[3 * i + 1] + fine[3 * i + 2]) / 3;
    }
};

void average_blocks(const double* fine, double* coarse, int first, int last)
{
    simd::dispatch<block_averages>(fine, coarse, first, last);
}

// Block values first .. last-1 of level j-1 from the values of level j.
using coarse_step = void (*)(const double* fine, double* coarse, int first, int last);

// The block values of levels J-1 .. L (kept at level(j)) from x, on several
// threads: x in ranges of 3^p values, each range making the values of its
// own blocks of levels J-1 .. J-p, then the few blocks of the levels below
// on the calling thread. Every value is made as on one thread.
template <class Level>
void make_all_coarse(const double* x, Level level, int L, int J, coarse_step make_coarse, int threads)
{
    int p = J - L;
    while (p > 1 && power_of_three(J - p + 1) <= 16 * threads) --p;
    const auto fine_of = [&](int j) { return j == J ? x : static_cast<const double*>(level(j)); };
    threads::for_parts(power_of_three(J - p), threads, [&](int, int r0, int r1) {
        for (int j = J, blocks = power_of_three(p - 1); j > J - p; --j, blocks /= 3)
            make_coarse(fine_of(j), level(j - 1), r0 * blocks, r1 * blocks);
    });
    for (int j = J - p; j > L; --j) make_coarse(fine_of(j), level(j - 1), 0, power_of_three(j - 1));
}

// The residuals of blocks b .. b+count-1 (count <= kChunkBlocks) of a level
// of m values scaled by s into w, from its refined coarse values; chunk
// (kChunkValues doubles) holds their predictions.
void level_residuals(const double* fine, const double* coarse, int m, double s, int D, int b, int count,
                     refine_step refine, double* chunk, double* w)
{
    const double* pred = refine_blocks(coarse, m / 3, D, b, count, refine, chunk);
    simd::dispatch<residuals>(fine + 3 * b, pred, s, w + m + 3 * b, 3 * count);
}

// The row w of a forward transform from x (level J) and the block values of
// levels J-1 .. L, kept at level(j). Each level's residuals are taken chunk
// by chunk from its refined coarse values. With make_coarse, the block
// values are not there yet: on one thread they are made just ahead of the
// chunk that needs them, so that each level is read from memory once; on
// several, every level's are made first, by ranges of x that share no
// block (make_all_coarse). Then the chunks of every level are independent
// units, shared out. Positions of w the layout leaves zero are not written
// here (see zero_gaps).
template <class Level>
void store_pyramid(const double* x, Level level, int L, int D, double* w, int J, refine_step refine,
                   coarse_step make_coarse, int threads)
{
    const auto fine_of = [&](int j) { return j == J ? x : static_cast<const double*>(level(j)); };
    if (threads > 1) {
        if (make_coarse) make_all_coarse(x, level, L, J, make_coarse, threads);
        // Units: the chunks of level J, then of J-1, ... down to L+1.
        int first[kMaxTriadicLevels + 2] = {};
        for (int j = J; j > L; --j) first[j - 1] = first[j] + (power_of_three(j - 1) + kChunkBlocks - 1) / kChunkBlocks;
        threads::for_parts(first[L], threads, [&](int, int u0, int u1) {
            double chunk[kChunkValues];
            for (int u = u0, j = J; u < u1; ++u) {
                while (u >= first[j - 1]) --j;
                const int m = power_of_three(j), b = (u - first[j]) * kChunkBlocks;
                level_residuals(fine_of(j), level(j - 1), m, scale_of(J, j), D, b, std::min(kChunkBlocks, m / 3 - b),
                                refine, chunk, w);
            }
        });
    } else {
        double chunk[kChunkValues];
        for (int j = J; j > L; --j) {
            const int m = power_of_three(j), e = m / 3;
            const double s = scale_of(J, j);
            for (int b = 0, made = 0; b < e; b += kChunkBlocks) {
                const int count = std::min(kChunkBlocks, e - b);
                if (make_coarse) {
                    const int needed = std::min(b + count + 1, e);
                    make_coarse(fine_of(j), level(j - 1), made, needed);
                    made = needed;
                }
                level_residuals(fine_of(j), level(j - 1), m, s, D, b, count, refine, chunk, w);
            }
        }
    }
    const double s = scale_of(J, L);
    const double* coarse = fine_of(L);
    const int c = power_of_three(L);
    for (int i = 0; i < c; ++i) w[i] = coarse[i] * s;
}

// Zeros the positions of w that hold no level: 3^L .. 3^(L+1)-1 (up to 2n
// when L = J) and 2 3^j .. 3^(j+1)-1 for L < j < J.
void zero_gaps(double* w, int n, int L, int J)
{
    const int c = power_of_three(L);
    zero_doubles(w + c, std::min(2 * c, 2 * n - c));
    for (int j = L + 1; j < J; ++j) {
        const int m = power_of_three(j);
        zero_doubles(w + 2 * m, m);
    }
}

// The block values of level j (L <= j < J) of a forward transform into w,
// kept where the layout leaves w zero: level j's 3^j values in the gap
// after its residuals (at 2 3^j), level L's in the gap after its own values
// (at 3^L). zero_gaps clears them once every level is written.
double* gap_of_level(double* w, int L, int j) { return w + (j == L ? power_of_three(L) : 2 * power_of_three(j)); }

} // namespace

double half_power_of_three(int k)
{
    // 3^(k/2) correctly rounded: 3^(k/2) itself for even k, RN(sqrt(3^k)) for odd k.
    static const double table[] = { // k = 0, 1; 2, 3; ...
        1,     0x1.bb67ae8584caap+0,
        3,     0x1.4c8dc2e423980p+2,
        9,     0x1.f2d4a45635640p+3,
        27,    0x1.761f7b40a80b0p+5,
        81,    0x1.18979c707e084p+7,
        243,   0x1.a4e36aa8bd0c6p+8,
        729,   0x1.3baa8ffe8dc94p+10,
        2187,  0x1.d97fd7fdd4adfp+11,
        6561,  0x1.631fe1fe5f827p+13,
        19683, 0x1.0a57e97ec7a1dp+15,
    };
    static_assert(sizeof table / sizeof table[0] == kMaxTriadicLevels + 1, "one scale per level");
    return table[k];
}

bool median_pyramid_forward(const double* x, int n, int log3n, int level, int degree, double* w, int threads)
{
    const int J = log3n, L = std::min(level, J), D = degree;
    // Blocks of 3^k have the medians of level J - k. The sort's scratch is
    // the second half of w, which only the residuals of level J fill, after
    // the medians are found.
    double* medians[kMaxTriadicLevels + 1];
    for (int k = 1; k <= J - L; ++k) medians[k] = gap_of_level(w, L, J - k);
    if (!triadic_block_medians(x, J, J - L, medians, w + n, threads)) return false;
    const auto values_of = [&](int j) { return gap_of_level(w, L, j); };
    store_pyramid(x, values_of, L, D, w, J, median_refine, nullptr, threads);
    zero_gaps(w, n, L, J);
    return true;
}

bool average_pyramid_forward(const double* x, int n, int log3n, int level, int degree, double* w, int threads)
{
    const int J = log3n, L = std::min(level, J), D = degree;
    const auto values_of = [&](int j) { return gap_of_level(w, L, j); };
    store_pyramid(x, values_of, L, D, w, J, average_refine, average_blocks, threads);
    zero_gaps(w, n, L, J);
    return true;
}

bool pyramid_inverse(const double* wc, int n, int log3n, int level, int degree, refine_step refine, double* y,
                     int threads)
{
    const int J = log3n, L = std::min(level, J), D = degree;
    const auto threaded = [&](int j) { return threads > 1 && power_of_three(j) >= kThreadedLevel; };
    // A threaded level is refined from one buffer into the other, y and
    // the work array taking turns; the coarse values start in the one that
    // makes the last level land in y. Every other level is refined in place.
    int turns = 0;
    for (int j = L + 1; j <= J; ++j) turns += threaded(j);
    double* other = turns > 0 ? static_cast<double*>(std::malloc(static_cast<size_t>(n) * sizeof(double))) : nullptr;
    if (turns > 0 && !other) return false;
    double* v = turns % 2 ? other : y;
    const int c = power_of_three(L);
    const double s = scale_of(J, L);
    for (int i = 0; i < c; ++i) v[i] = wc[i] / s;
    for (int j = L + 1; j <= J; ++j) {
        const int m = power_of_three(j), e = m / 3;
        const double sj = scale_of(J, j);
        const auto refine_chunk = [&](const double* from, int b, double* to) {
            double chunk[kChunkValues];
            const int count = std::min(kChunkBlocks, e - b);
            const double* pred = refine_blocks(from, e, D, b, count, refine, chunk);
            simd::dispatch<unscaled_sums>(wc + m + 3 * b, pred, sj, to + 3 * b, 3 * count);
        };
        if (threaded(j)) {
            double* to = v == y ? other : y;
            threads::for_parts((e + kChunkBlocks - 1) / kChunkBlocks, threads, [&](int, int k0, int k1) {
                for (int k = k0; k < k1; ++k) refine_chunk(v, k * kChunkBlocks, to);
            });
            v = to;
        } else {
            // In place, chunks from the last: a chunk's blocks b .. are
            // written from 3b on, past every value the chunks before it
            // still read (b and below).
            for (int b = (e - 1) / kChunkBlocks * kChunkBlocks; b >= 0; b -= kChunkBlocks) refine_chunk(v, b, v);
        }
    }
    std::free(other);
    return true;
}
