#include "packet_table.hpp"

#include <algorithm>
#include <cstddef>

#include "common/arrays.hpp"
#include "common/bit_reversal.hpp"
#include "cosine_packets/dct4_lanes.hpp"
#include "simd/simd.hpp"
#include "simd/transpose.hpp"
#include "local_cosine.hpp"

namespace {

using std::ptrdiff_t;

// v[t] lane l = row[l][offset + t], t, l < W: W doubles of each lane's row.
template <class V> SIMD_INLINE void load_columns(const double* const* row, ptrdiff_t offset, V* v)
{
    for (int l = 0; l < simd::lanes<V>; ++l) v[l] = simd::load<V>(row[l] + offset);
    simd::transpose(v);
}

// row[l][offset + t] = v[t] lane l, t, l < W (v is left transposed).
template <class V> SIMD_INLINE void store_columns(V* v, double* const* row, ptrdiff_t offset)
{
    simd::transpose(v);
    for (int l = 0; l < simd::lanes<V>; ++l) simd::store(row[l] + offset, v[l]);
}

// The neighbours block b folds with: the blocks beside it, or the edge
// extension ext at the ends of the signal.
SIMD_INLINE const double* left_of(const PacketLevel& L, const double* in, const double* ext, int b)
{
    return b == 0 ? ext : in + static_cast<ptrdiff_t>(b - 1) * L.f;
}
SIMD_INLINE const double* right_of(const PacketLevel& L, const double* in, const double* ext, int b)
{
    return b + 1 == L.B ? ext : in + static_cast<ptrdiff_t>(b + 1) * L.f;
}

// Blocks b .. b+W-1, lane l = block b+l (f >= 2W), written to out: the
// DCT-IV of cosine_transform_type4, folded first when ext is given,
//   z[j] = (w[2j] + i w[f-1-2j]) pre[j]                   w: the folded block
//   the FFT of z                                         (value j at Z + 2jW)
//   y[2p] = Re z[p'] post[p], y[f-1-2p] = -Im z[p'] post[p], p' = bitrev(p)
// The rows are read and written W positions c .. c+W-1 and their mirrors
// f-W-c .. f-1-c at a time, transposed in registers: the fold pairs
// position i with f-1-i, and so does each z[j]. Z: Wf doubles.
template <class V>
SIMD_INLINE void transform_lanes(const PacketLevel& L, const double* in, const double* ext, double* out, int b,
                                 double* Z)
{
    constexpr int W = simd::lanes<V>;
    const ptrdiff_t f = L.f, K = f / 2;
    const ptrdiff_t m = ext ? L.m : 0;
    const double* cur[W];
    const double* left[W];
    const double* right[W];
    double* dst[W];
    for (int l = 0; l < W; ++l) {
        cur[l] = in + (b + l) * f;
        dst[l] = out + (b + l) * f;
        left[l] = left_of(L, in, ext, b + l), right[l] = right_of(L, in, ext, b + l);
    }
    const double* pre = L.tables;
    for (ptrdiff_t c = 0; c < K; c += W) {
        V head[W], tail[W]; // positions c + t and f - W - c + t
        load_columns(cur, c, head);
        load_columns(cur, f - W - c, tail);
        if (c < m) {
            // fold_block for i = c + t < m, r = f-1-i (tail[W-1-t]):
            //   w[i] = bp w[i] + bm left[r],  w[r] = bp w[r] - bm right[i]
            V side[W];
            load_columns(left, f - W - c, side);
            for (int t = 0; t < W && c + t < m; ++t) head[t] = L.bp[c + t] * head[t] + L.bm[c + t] * side[W - 1 - t];
            load_columns(right, c, side);
            for (int t = 0; t < W && c + t < m; ++t)
                tail[W - 1 - t] = L.bp[c + t] * tail[W - 1 - t] - L.bm[c + t] * side[t];
        }
        for (int t = 0; t < W; ++t) {
            // Even position c+t = 2j: z[j] = head[t] + i tail[W-1-t];
            // odd c+t = f-1-2j: z[j] = tail[W-1-t] + i head[t].
            const bool even = ((c + t) & 1) == 0;
            const ptrdiff_t j = even ? (c + t) / 2 : (f - 1 - c - t) / 2;
            const V re = even ? head[t] : tail[W - 1 - t], im = even ? tail[W - 1 - t] : head[t];
            simd::store(Z + 2 * j * W, re * pre[2 * j] - im * pre[2 * j + 1]);
            simd::store(Z + (2 * j + 1) * W, re * pre[2 * j + 1] + im * pre[2 * j]);
        }
    }
    dct4_lanes::fft_stages<V>(Z, K, K, L.tables + 2 * f);
    const double* post = L.tables + f;
    ptrdiff_t r = 0; // bitrev(q) for q = (c+t)/2
    for (ptrdiff_t c = 0; c < K; c += W) {
        V head[W], tail[W];
        for (int t = 0; t < W; ++t) {
            // Even c+t = 2p, q = p: head[t] = y[2p], tail[W-1-t] = y[f-1-2p];
            // odd c+t = f-1-2p, q = K-1-p (p' = (K-1) ^ bitrev(q)): the other way round.
            const bool even = ((c + t) & 1) == 0;
            if (even && c + t > 0) r = next_reversed(r, K / 2);
            const ptrdiff_t q = (c + t) / 2, p = even ? q : K - 1 - q, rp = even ? r : (K - 1) ^ r;
            const V zr = simd::load<V>(Z + 2 * rp * W), zi = simd::load<V>(Z + (2 * rp + 1) * W);
            const V re = zr * post[2 * p] - zi * post[2 * p + 1];
            const V minus_im = -(zr * post[2 * p + 1] + zi * post[2 * p]);
            head[t] = even ? re : minus_im;
            tail[W - 1 - t] = even ? minus_im : re;
        }
        store_columns(head, dst, c);
        store_columns(tail, dst, f - W - c);
    }
}

// One long block b with the lanes inside its transform: the first radix-4
// stages across k until the groups left number at least W, then W groups
// at a time as lanes. False (nothing done) if the block is too short.
// s1, s2: f doubles each.
template <class V>
SIMD_INLINE bool transform_long(const PacketLevel& L, const double* in, const double* ext, double* out, int b,
                                double* s1, double* s2)
{
    constexpr ptrdiff_t W = simd::lanes<V>;
    const ptrdiff_t f = L.f, K = f / 2, s = b * f;
    ptrdiff_t span = K;
    while (K / span < W) {
        if (span / 4 < W) return false;
        span /= 4;
    }
    // The folded block: fold_block_ends's values in s1 for its first and last M
    // positions (M: m rounded up to whole loads of 2W; folded(a), the 2W
    // values from a), the rest read in place.
    const double* cur = in + s;
    const ptrdiff_t m = ext ? L.m : 0, M = std::min((m + 2 * W - 1) / (2 * W) * (2 * W), K);
    if (m > 0)
        fold_block_ends(cur, left_of(L, in, ext, b), right_of(L, in, ext, b), L.f, L.m, static_cast<int>(M), L.bp,
                        L.bm, s1);
    double* z = s2;
    // pre_rotate across j: x[2j] the even doubles of x + 2j, x[f-1-2j] the
    // odd ones of the 2W doubles ending at f - 2j, backwards.
    const double* pre = L.tables;
    const auto folded = [&](ptrdiff_t a) { return a + 2 * W <= M || a >= f - M ? s1 + a : cur + a; };
    for (ptrdiff_t j = 0; j < K; j += W) {
        V re, im, pr, pi, unused;
        simd::load_deinterleaved(folded(2 * j), re, unused);
        simd::load_deinterleaved(folded(f - 2 * j - 2 * W), unused, im);
        im = simd::reverse(im);
        simd::load_deinterleaved(pre + 2 * j, pr, pi);
        simd::store_interleaved(z + 2 * j, re * pr - im * pi, re * pi + im * pr);
    }
    const double* tw = L.tables + 2 * f;
    for (span = K; K / span < W; span /= 4) {
        dct4_lanes::fft_stage_across_k<V>(z, K, span, tw);
        tw += 6 * (span / 4);
    }
    // The G = K/span groups of span values are independent transforms now,
    // taken W at a time as the lanes of a batch: lane l of batch h is group
    // bitrev(hW + l) over G. Position t of group g holds z[p] for
    //   p = P G + c,  P = bitrev(t) over span, c = bitrev(g) over G,
    // so batch h's lanes post-rotate into the even doubles of the 2W at
    // y + 2(PG + hW), whose odd doubles are those of batch H-1-h at
    // span-1-P, lanes reversed: the two batches are finished together.
    const ptrdiff_t G = K / span, H = G / W;
    int gbits = 0;
    while ((ptrdiff_t{1} << gbits) < G) ++gbits;
    const auto reversed = [](ptrdiff_t g, int bits) {
        ptrdiff_t c = 0;
        for (int bit = 0; bit < bits; ++bit, g >>= 1) c = 2 * c + (g & 1);
        return c;
    };
    const double* post = L.tables + f;
    double* y = out + s;
    for (ptrdiff_t h = 0; 2 * h < H; ++h) {
        const ptrdiff_t hs[2] = {h, H - 1 - h};
        const int batches = hs[1] == h ? 1 : 2;
        double* Zv[2] = {s1, s1 + 2 * span * W};
        for (int k = 0; k < batches; ++k) {
            const double* rows[W];
            for (int l = 0; l < W; ++l) rows[l] = z + 2 * span * reversed(hs[k] * W + l, gbits);
            for (ptrdiff_t j = 0; j < 2 * span; j += W) {
                V v[W];
                load_columns(rows, j, v);
                for (int t = 0; t < W; ++t) simd::store(Zv[k] + (j + t) * W, v[t]);
            }
            dct4_lanes::fft_stages<V>(Zv[k], span, span, tw);
        }
        ptrdiff_t t = 0;
        for (ptrdiff_t P = 0; P < span / 2; ++P) {
            // A (even doubles) and B (odd ones, lanes reversed) of batch k at P and span-1-P.
            const ptrdiff_t Ps[2] = {P, span - 1 - P}, ts[2] = {t, (span - 1) ^ t};
            V A[2][2], B[2][2];
            for (int k = 0; k < batches; ++k)
                for (int e = 0; e < 2; ++e) {
                    const V zr = simd::load<V>(Zv[k] + 2 * ts[e] * W), zi = simd::load<V>(Zv[k] + (2 * ts[e] + 1) * W);
                    V pr, pi;
                    simd::load_deinterleaved(post + 2 * (Ps[e] * G + hs[k] * W), pr, pi);
                    A[k][e] = zr * pr - zi * pi;
                    B[k][e] = simd::reverse(V(-(zr * pi + zi * pr)));
                }
            for (int k = 0; k < batches; ++k)
                for (int e = 0; e < 2; ++e)
                    simd::store_interleaved(y + 2 * (Ps[e] * G + hs[k] * W), A[k][e], B[batches - 1 - k][1 - e]);
            t = next_reversed(t, span / 2);
        }
    }
    return true;
}

// Blocks b0 .. b1-1 of the level: out = DCT-IV of each block of in, folded
// first when ext (the edge extensions, made) is given. scratch: 2n doubles.
struct block_transforms {
    template <class V>
    SIMD_INLINE static void run(const PacketLevel* level, const double* in, const double* ext, double* out, int b0,
                                int b1, double* scratch)
    {
        const PacketLevel& L = *level;
        constexpr int W = simd::lanes<V>;
        if (L.f == 1) {
            // No bell (m = 0): each block is its own coefficient.
            for (int b = b0; b < b1; ++b) out[b] = in[b];
            return;
        }
        double* X = scratch;
        double* Z = scratch + L.n;
        int b = b0;
        if (W > 1 && b1 - b0 < W)
            for (; b < b1 && transform_long<V>(L, in, ext, out, b, X, Z); ++b) {
            }
        if (L.f >= 2 * W)
            for (; b + W <= b1; b += W) transform_lanes<V>(L, in, ext, out, b, Z);
        for (; b < b1; ++b) transform_lanes<double>(L, in, ext, out, b, Z);
    }
};

// Lane k = p[-k].
template <class T> SIMD_INLINE T load_backwards(const double* p)
{
    return simd::reverse(simd::load<T>(p - (simd::lanes<T> - 1)));
}

// unfold_block's centre and spills, summed in the order of a level
// accumulator that starts at zero: a head takes its left neighbour's spill
// first, a tail its own value first; the ends take the edge correction
// instead of a spill. Each position takes one sum of its own, so positions
// go W at a time (T = V) and one at a time at the ends of a run (T = double).
// Head i < m of block yb (xb its x):
template <class T>
SIMD_INLINE void unfold_head(const double* yb, const double* bp, const double* bm, bool first, ptrdiff_t i, double* xb)
{
    const T p = simd::load<T>(bp + i);
    T head = p * simd::load<T>(yb + i);
    if (first) {
        head = 0.0 + head;
        head = head + head * (1.0 - p) / p;
    } else {
        head = (0.0 + load_backwards<T>(yb - 1 - i) * (-1.0 * simd::load<T>(bm + i))) + head;
    }
    simd::store(xb + i, simd::load<T>(xb + i) + head);
}
// Tail j = f-1-i, i < m:
template <class T>
SIMD_INLINE void unfold_tail(const double* yb, const double* bp, const double* bm, bool last, ptrdiff_t f, ptrdiff_t j,
                             double* xb)
{
    const T p = load_backwards<T>(bp + f - 1 - j);
    T tail = p * simd::load<T>(yb + j);
    if (last) {
        tail = 0.0 + tail;
        tail = tail + tail * (1.0 - p) / p;
    } else {
        tail = (0.0 + tail) + load_backwards<T>(yb + 2 * f - 1 - j) * load_backwards<T>(bm + f - 1 - j);
    }
    simd::store(xb + j, simd::load<T>(xb + j) + tail);
}
// The middle, m <= j < f-m:
template <class T> SIMD_INLINE void unfold_centre(const double* yb, ptrdiff_t j, double* xb)
{
    simd::store(xb + j, simd::load<T>(xb + j) + (0.0 + simd::load<T>(yb + j)));
}

// x[j] += the level's unfolded value at j, j0 <= j < j1 (y: every block's DCT-IV).
struct unfold_range {
    template <class V>
    SIMD_INLINE static void run(const double* y, const PacketLevel* level, ptrdiff_t j0, ptrdiff_t j1, double* x)
    {
        constexpr ptrdiff_t W = simd::lanes<V>;
        const ptrdiff_t f = level->f, m = level->m;
        const double *bp = level->bp, *bm = level->bm;
        for (ptrdiff_t b = j0 / f; b * f < j1; ++b) {
            const double* yb = y + b * f;
            double* xb = x + b * f;
            const ptrdiff_t lo = std::max<ptrdiff_t>(j0 - b * f, 0), hi = std::min<ptrdiff_t>(j1 - b * f, f);
            const bool first = b == 0, last = b + 1 == level->B;
            ptrdiff_t i = lo;
            const ptrdiff_t heads = std::min(m, hi);
            for (; i + W <= heads; i += W) unfold_head<V>(yb, bp, bm, first, i, xb);
            for (; i < heads; ++i) unfold_head<double>(yb, bp, bm, first, i, xb);
            ptrdiff_t j = std::max(m, lo);
            const ptrdiff_t centre = std::min(f - m, hi);
            for (; j + W <= centre; j += W) unfold_centre<V>(yb, j, xb);
            for (; j < centre; ++j) unfold_centre<double>(yb, j, xb);
            for (j = std::max(f - m, lo); j + W <= hi; j += W) unfold_tail<V>(yb, bp, bm, last, f, j, xb);
            for (; j < hi; ++j) unfold_tail<double>(yb, bp, bm, last, f, j, xb);
        }
    }
};

} // namespace

PacketLevel make_packet_level(int n, int depth, int d, const double* bp, const double* bm, double* tables,
                              double* scratch)
{
    PacketLevel L;
    L.n = n;
    L.d = d;
    L.B = 1 << d;
    L.f = n >> d;
    L.m = bell_half_width(n, depth);
    L.bp = bp;
    L.bm = bm;
    L.tables = type4_tables(L.f, tables, scratch);
    return L;
}

void cosine_packet_analysis_blocks(const double* x, const PacketLevel& level, int b0, int b1, double* column,
                                   double* scratch)
{
    if (b0 >= b1) return;
    // The ends of the signal take their neighbours from the edge extension
    // (both halves of it when there is one block), so they do not wrap.
    const int f = level.f, m = level.m;
    double* ext = scratch;
    if (b0 == 0) edge_extension(x, f, m, level.bp, level.bm, Side::left, ext);
    if (b1 == level.B)
        edge_extension(x + static_cast<ptrdiff_t>(level.B - 1) * f, f, m, level.bp, level.bm, Side::right, ext);
    simd::dispatch<block_transforms, kCosinePacketWidest>(&level, x, static_cast<const double*>(ext), column, b0, b1,
                                                          scratch + level.n);
}

void cosine_packet_synthesis_transforms(const double* column, const PacketLevel& level, int b0, int b1, double* y,
                                        double* scratch)
{
    if (b0 >= b1) return;
    simd::dispatch<block_transforms, kCosinePacketWidest>(&level, column, static_cast<const double*>(nullptr), y,
                                                          b0, b1, scratch + level.n);
}

void cosine_packet_synthesis_unfold(const double* y, const PacketLevel& level, ptrdiff_t j0, ptrdiff_t j1, double* x)
{
    simd::dispatch<unfold_range, kCosinePacketWidest>(y, &level, j0, j1, x);
}
