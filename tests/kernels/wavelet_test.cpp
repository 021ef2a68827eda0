// Periodic two-channel kernels and their drivers against the defining sums,
// one output at a time with a true modulo: every instruction-set path must
// give their very doubles (each sum starts at 0.0 and adds its taps in
// ascending order, as the kernels do). Plus transposes, hand-worked cases
// and round trips.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/support/simd_paths.hpp"
#include "tests/support/tolerance.hpp"
#include "tests/support/vectors.hpp"
#include "wavelet/dyadic.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/packets.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

namespace {

using Vec = std::vector<double>;

int len(const Vec& v) { return static_cast<int>(v.size()); }

Vec mirrored(const Vec& lowpass)
{
    Vec highpass(lowpass.size());
    mirror_filter(lowpass.data(), len(lowpass), highpass.data());
    return highpass;
}

// lo[i] = sum_k lowpass[k] x[(2i + k - delay) mod n]
Vec ref_down_lo(const Vec& x, const Vec& lowpass, int delay = 0)
{
    const int n = len(x);
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (int k = 0; k < len(lowpass); ++k) y[i] += lowpass[k] * x[mod(2 * i + k - delay, n)];
    return y;
}

// hi[i] = sum_k highpass[k] x[(2i + 1 - k - delay) mod n]
Vec ref_down_hi(const Vec& x, const Vec& highpass, int delay = 0)
{
    const int n = len(x);
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (int k = 0; k < len(highpass); ++k) y[i] += highpass[k] * x[mod(2 * i + 1 - k - delay, n)];
    return y;
}

Vec ref_up_lo(const Vec& c, const Vec& lowpass)
{
    const int nc = len(c), m = len(lowpass);
    Vec y(2 * nc, 0.0);
    for (int i = 0; i < nc; ++i) {
        for (int k = 0; 2 * k < m; ++k) y[2 * i] += lowpass[2 * k] * c[mod(i - k, nc)];
        for (int k = 0; 2 * k + 1 < m; ++k) y[2 * i + 1] += lowpass[2 * k + 1] * c[mod(i - k, nc)];
    }
    return y;
}

Vec ref_up_hi(const Vec& d, const Vec& highpass)
{
    const int nc = len(d), m = len(highpass);
    Vec y(2 * nc, 0.0);
    for (int i = 0; i < nc; ++i) {
        for (int k = 0; 2 * k < m; ++k) y[2 * i + 1] += highpass[2 * k] * d[mod(i + k, nc)];
        for (int k = 0; 2 * k + 1 < m; ++k) y[2 * i] += highpass[2 * k + 1] * d[mod(i + k, nc)];
    }
    return y;
}

// The synthesis step: the lowpass part plus the highpass part.
Vec ref_synthesis_step(const Vec& c, const Vec& d, const Vec& lowpass)
{
    const Vec lo = ref_up_lo(c, lowpass), hi = ref_up_hi(d, mirrored(lowpass));
    Vec y(lo.size());
    for (size_t k = 0; k < y.size(); ++k) y[k] = lo[k] + hi[k];
    return y;
}

Vec slice(const Vec& v, int from, int count) { return Vec(v.begin() + from, v.begin() + from + count); }

void put(Vec& v, int at, const Vec& part) { std::copy(part.begin(), part.end(), v.begin() + at); }

// Block sizes nc of the levels from the finest down to `level` (clamped at 0).
std::vector<int> analysis_levels(int n, int level)
{
    std::vector<int> sizes;
    for (int nc = n; nc >= 2 && nc > (1 << std::max(level, 0)); nc /= 2) sizes.push_back(nc);
    return sizes;
}

// The dyadic layout of each column of n values, level by level.
Vec ref_dyadic_analysis(const Vec& x, int n, int level, const Vec& lowpass)
{
    Vec w = x;
    for (int at = 0; at < len(x); at += n)
        for (int nc : analysis_levels(n, level)) {
            const Vec block = slice(w, at, nc);
            put(w, at, ref_down_lo(block, lowpass));
            put(w, at + nc / 2, ref_down_hi(block, mirrored(lowpass)));
        }
    return w;
}

Vec ref_dyadic_synthesis(const Vec& w, int n, int log2n, int level, const Vec& lowpass)
{
    Vec x = w;
    for (int at = 0; at < len(w); at += n)
        for (int nc = 1 << std::min(std::max(level, 0), log2n); nc < n; nc *= 2)
            put(x, at, ref_synthesis_step(slice(x, at, nc), slice(x, at + nc, nc), lowpass));
    return x;
}

// Row r of an n x n array (column-major), columns from..from+count-1.
Vec row_of(const Vec& A, int n, int r, int from, int count)
{
    Vec row(count);
    for (int c = 0; c < count; ++c) row[c] = A[r + (from + c) * n];
    return row;
}

void put_row(Vec& A, int n, int r, int from, const Vec& row)
{
    for (int c = 0; c < len(row); ++c) A[r + (from + c) * n] = row[c];
}

// Split the columns, then the rows, of the shrinking top-left corner.
Vec ref_square_analysis(Vec W, int n, int level, const Vec& lowpass)
{
    const Vec highpass = mirrored(lowpass);
    for (int nc : analysis_levels(n, level)) {
        for (int c = 0; c < nc; ++c) {
            const Vec col = slice(W, c * n, nc);
            put(W, c * n, ref_down_lo(col, lowpass));
            put(W, c * n + nc / 2, ref_down_hi(col, highpass));
        }
        for (int r = 0; r < nc; ++r) {
            const Vec row = row_of(W, n, r, 0, nc);
            put_row(W, n, r, 0, ref_down_lo(row, lowpass));
            put_row(W, n, r, nc / 2, ref_down_hi(row, highpass));
        }
    }
    return W;
}

// Rebuild the rows, then the columns, of the growing top-left corner.
Vec ref_square_synthesis(Vec X, int n, int log2n, int level, const Vec& lowpass)
{
    for (int nc = 1 << std::min(std::max(level, 0), log2n); nc < n; nc *= 2) {
        for (int r = 0; r < 2 * nc; ++r)
            put_row(X, n, r, 0, ref_synthesis_step(row_of(X, n, r, 0, nc), row_of(X, n, r, nc, nc), lowpass));
        for (int c = 0; c < 2 * nc; ++c)
            put(X, c * n, ref_synthesis_step(slice(X, c * n, nc), slice(X, c * n + nc, nc), lowpass));
    }
    return X;
}

// Packet analysis of x into all levels 0 .. depth with the flip rule; the
// packet synthesis is its transpose.
Vec ref_packet_analysis(const Vec& x, int depth, const Vec& lowpass)
{
    const int n = len(x);
    const Vec highpass = mirrored(lowpass);
    Vec T(static_cast<size_t>(n) * (depth + 1));
    put(T, 0, x);
    for (int d = 0, size = n; d < depth; ++d, size /= 2) {
        for (int b = 0; b < (n / size); ++b) {
            const Vec block = slice(T, d * n + b * size, size);
            const int flip = b % 2;
            put(T, (d + 1) * n + b * size + flip * size / 2, ref_down_lo(block, lowpass));
            put(T, (d + 1) * n + b * size + (1 - flip) * size / 2, ref_down_hi(block, highpass));
        }
    }
    return T;
}

Vec advanced(const Vec& x)
{
    Vec y(x.size());
    for (size_t i = 0; i < x.size(); ++i) y[i] = x[(i + 1) % x.size()];
    return y;
}

// Translation-invariant table built path by path, recursively: each block
// split unchanged and delayed by one sample.
void ref_paths(const Vec& block, int at, int k, int depth, int n, const Vec& lowpass, Vec& T)
{
    if (k > depth) {
        put(T, at, block);
        return;
    }
    const Vec highpass = mirrored(lowpass);
    const int half = len(block) / 2;
    put(T, k * n + at, ref_down_hi(block, highpass));
    put(T, k * n + at + half, ref_down_hi(block, highpass, 1));
    ref_paths(ref_down_lo(block, lowpass), at, k + 1, depth, n, lowpass, T);
    ref_paths(ref_down_lo(block, lowpass, 1), at + half, k + 1, depth, n, lowpass, T);
}

// Block at rows `at` rebuilt from step k on: the average of the unshifted
// rebuild and the advanced delayed rebuild, the four parts summed in order.
Vec ref_rebuild(const Vec& T, int at, int size, int k, int depth, int n, const Vec& lowpass)
{
    if (k > depth) return slice(T, at, size);
    const Vec highpass = mirrored(lowpass);
    const int half = size / 2;
    const Vec a = ref_rebuild(T, at, half, k + 1, depth, n, lowpass);
    const Vec b = ref_rebuild(T, at + half, half, k + 1, depth, n, lowpass);
    const Vec p = ref_up_lo(a, lowpass), q = advanced(ref_up_lo(b, lowpass));
    const Vec r = ref_up_hi(slice(T, k * n + at, half), highpass);
    const Vec s = advanced(ref_up_hi(slice(T, k * n + at + half, half), highpass));
    Vec y(size);
    for (int i = 0; i < size; ++i) y[i] = (((p[i] + q[i]) + r[i]) + s[i]) / 2;
    return y;
}

const double r2 = 1.0 / std::sqrt(2.0);
const Vec kD4{0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604};
const Vec kD8{0.2303778133088964, 0.7148465705529154, 0.6308807679298587, -0.0279837694168599,
              -0.1870348117190931, 0.0308413818355607, 0.0328830116668852, -0.0105974017850690};

std::string trace(int m, int J, int L)
{
    return "m=" + std::to_string(m) + " J=" + std::to_string(J) + " L=" + std::to_string(L);
}

} // namespace

TEST(MirrorFilter, AlternatesSignsStartingPositive)
{
    EXPECT_EQ(mirrored(Vec{1, 2, 3, 4, 5}), (Vec{1, -2, 3, -4, 5}));
}

TEST(PeriodicKernels, GiveTheDefiningSumsOnEveryPath)
{
    // Every filter length against every signal length, short ones (all
    // taps wrapping) to long ones (vector loops), with NaN, Inf and signed
    // zeros; nothing written outside the outputs.
    on_every_path([] {
        for (int m = 0; m <= 25; ++m) {
            const Vec h = special_vec(m, 5u + m), g = mirrored(h);
            for (int nc = 1; nc <= 2048; nc = nc < 40 ? nc + 1 : 2 * nc) {
                SCOPED_TRACE("m=" + std::to_string(m) + " nc=" + std::to_string(nc));
                const int n = 2 * nc;
                const Vec x = special_vec(n, 17u * n + m), c = special_vec(nc, 3u * n + m), d = special_vec(nc, n + m);
                Guarded lo(nc), hi(nc);
                analysis_step(x.data(), n, h.data(), g.data(), m, lo.data(), hi.data());
                EXPECT_TRUE(same_bits(lo.inside(), ref_down_lo(x, h)) && same_bits(hi.inside(), ref_down_hi(x, g)));
                analysis_step_delayed(x.data(), n, h.data(), g.data(), m, lo.data(), hi.data());
                EXPECT_TRUE(same_bits(lo.inside(), ref_down_lo(x, h, 1)) &&
                            same_bits(hi.inside(), ref_down_hi(x, g, 1)));
                downsample_lowpass_periodic(x.data(), n, h.data(), m, lo.data());
                downsample_highpass_periodic(x.data(), n, g.data(), m, hi.data());
                EXPECT_TRUE(same_bits(lo.inside(), ref_down_lo(x, h)) && same_bits(hi.inside(), ref_down_hi(x, g)));

                Guarded ulo(n), uhi(n), sum(n);
                upsample_lowpass_periodic(c.data(), nc, h.data(), m, ulo.data());
                upsample_highpass_periodic(d.data(), nc, g.data(), m, uhi.data());
                synthesis_step(c.data(), d.data(), nc, h.data(), g.data(), m, sum.data());
                EXPECT_TRUE(same_bits(ulo.inside(), ref_up_lo(c, h)) && same_bits(uhi.inside(), ref_up_hi(d, g)));
                EXPECT_TRUE(same_bits(sum.inside(), ref_synthesis_step(c, d, h)));
                EXPECT_TRUE(lo.guards_intact() && hi.guards_intact() && ulo.guards_intact() && uhi.guards_intact() &&
                            sum.guards_intact());
            }
        }
    });
}

TEST(PeriodicKernels, UpsamplingIsTheTransposeOfDownsampling)
{
    // <down(x), c> == <x, up(c)> for every x, c.
    for (int m : {1, 4, 7, 12}) {
        for (int n : {2, 4, 8, 16}) {
            const Vec h = random_vec(m, 3u + m), g = mirrored(h);
            const Vec x = random_vec(n, 5u + n), c = random_vec(n / 2, 9u + n);
            Vec lo(n / 2), hi(n / 2), ulo(n), uhi(n);
            downsample_lowpass_periodic(x.data(), n, h.data(), m, lo.data());
            downsample_highpass_periodic(x.data(), n, g.data(), m, hi.data());
            upsample_lowpass_periodic(c.data(), n / 2, h.data(), m, ulo.data());
            upsample_highpass_periodic(c.data(), n / 2, g.data(), m, uhi.data());
            double a1 = 0, b1 = 0, a2 = 0, b2 = 0;
            for (int i = 0; i < n / 2; ++i) a1 += lo[i] * c[i], a2 += hi[i] * c[i];
            for (int i = 0; i < n; ++i) b1 += x[i] * ulo[i], b2 += x[i] * uhi[i];
            EXPECT_NEAR(a1, b1, 1e-12);
            EXPECT_NEAR(a2, b2, 1e-12);
        }
    }
}

TEST(PeriodicKernels, HaarExampleAndLongFilterWrap)
{
    const Vec h{r2, r2}, g = mirrored(h), x{1, 2, 3, 4};
    Vec lo(2), hi(2);
    downsample_lowpass_periodic(x.data(), 4, h.data(), 2, lo.data());
    downsample_highpass_periodic(x.data(), 4, g.data(), 2, hi.data());
    EXPECT_CLOSE(lo, (Vec{3 * r2, 7 * r2}));
    EXPECT_CLOSE(hi, (Vec{r2, r2}));

    // Four taps on n = 2 wrap every tap.
    const Vec h4{1, 2, 3, 4}, x2{10, 20};
    Vec y(1);
    downsample_lowpass_periodic(x2.data(), 2, h4.data(), 4, y.data());
    EXPECT_DOUBLE_EQ(y[0], 1 * 10 + 2 * 20 + 3 * 10 + 4 * 20);
}

TEST(PeriodicKernels, TinySignalsAndEmptyFiltersStayInRange)
{
    // n = 1, 2, 3 with empty and one-tap filters: nothing written past n/2
    // (or 2nc), zeros for an empty filter.
    const Vec h1{2.0};
    for (int m : {0, 1}) {
        for (int n : {1, 2, 3}) {
            const Vec x = random_vec(n, 11u + n);
            Guarded lo(n / 2), hi(n / 2);
            downsample_lowpass_periodic(x.data(), n, h1.data(), m, lo.data());
            downsample_highpass_periodic(x.data(), n, h1.data(), m, hi.data());
            EXPECT_TRUE(lo.guards_intact() && hi.guards_intact()) << "m=" << m << " n=" << n;
            if (m == 0) {
                EXPECT_EQ(lo.inside(), Vec(n / 2, 0.0));
                EXPECT_EQ(hi.inside(), Vec(n / 2, 0.0));
            }
        }
        Guarded ulo(2), uhi(2);
        const Vec c{3.0};
        upsample_lowpass_periodic(c.data(), 1, h1.data(), m, ulo.data());
        upsample_highpass_periodic(c.data(), 1, h1.data(), m, uhi.data());
        EXPECT_EQ(ulo.inside(), (m ? Vec{6.0, 0.0} : Vec{0.0, 0.0}));
        EXPECT_EQ(uhi.inside(), (m ? Vec{0.0, 6.0} : Vec{0.0, 0.0}));
        EXPECT_TRUE(ulo.guards_intact() && uhi.guards_intact());
    }
}

TEST(DyadicTransform, GivesTheDefiningDoublesAtEveryLevelOnEveryPath)
{
    on_every_path([] {
        for (int m = 0; m <= 25; m += 1 + m / 4) {
            const Vec h = special_vec(m, 9u + m), g = mirrored(h);
            // Filters of up to two taps are split in tiles of 2^10: 2^17
            // takes three rounds of tiles.
            for (int J = 0; J <= (m <= 2 ? 17 : 12); ++J) {
                const int n = 1 << J, count = J < 6 ? 2 : 1;
                const Vec x = special_vec(n * count, 100u + J);
                Vec w(n * count), back(n * count), scratch(analysis_scratch_length(n, m)), half(n / 2);
                for (int L = -1; L <= J + 1; ++L) {
                    SCOPED_TRACE(trace(m, J, L));
                    periodic_analysis(x.data(), n, count, J, L, h.data(), g.data(), m, w.data(), scratch.data());
                    EXPECT_TRUE(same_bits(w, ref_dyadic_analysis(x, n, L, h)));
                    periodic_synthesis(x.data(), n, count, J, L, h.data(), g.data(), m, back.data(), half.data());
                    EXPECT_TRUE(same_bits(back, ref_dyadic_synthesis(x, n, J, L, h)));
                }
            }
        }
    });
}

TEST(DyadicTransform, RoundTripsAtEveryLevelForOrthonormalFilters)
{
    for (const Vec& h : {Vec{r2, r2}, kD4, kD8}) {
        const int m = len(h);
        const Vec g = mirrored(h);
        for (int J = 0; J <= 8; ++J) {
            const int n = 1 << J, count = 3;
            const Vec x = random_vec(n * count, 100u + J);
            Vec w(n * count), back(n * count), s0(n), s1(n);
            for (int L = -2; L <= J + 3; ++L) {
                periodic_analysis(x.data(), n, count, J, L, h.data(), g.data(), m, w.data(), s0.data());
                periodic_synthesis(w.data(), n, count, J, L, h.data(), g.data(), m, back.data(), s1.data());
                // d8 is given to 16 digits only: orthonormal to about 1e-13.
                EXPECT_LE(relative_error(back, x), m == 8 ? 1e-11 : kTolerance) << "J=" << J << " L=" << L;
            }
        }
    }
}

TEST(DyadicTransform, HaarLayoutOfOneToEight)
{
    const Vec h{r2, r2}, g = mirrored(h), x{1, 2, 3, 4, 5, 6, 7, 8};
    Vec w(8), s(8);
    periodic_analysis(x.data(), 8, 1, 3, 0, h.data(), g.data(), 2, w.data(), s.data());
    EXPECT_CLOSE(w, (Vec{36 / std::sqrt(8.0), 4 * std::sqrt(2.0), 2, 2, r2, r2, r2, r2}));
}

TEST(RowAccess, WalksOneRowWithTheStride)
{
    Vec a{0, 1, 2, 10, 11, 12, 20, 21, 22}, row(3); // 3 x 3, column-major
    get_row(a.data(), 3, 3, 1, row.data());
    EXPECT_EQ(row, (Vec{1, 11, 21}));
    const Vec v{7, 8};
    set_row(v.data(), 2, 3, 2, a.data() + 3);
    EXPECT_EQ(a, (Vec{0, 1, 2, 10, 11, 7, 20, 21, 8}));
}

TEST(SquareTransform, GivesTheDefiningDoublesAtEveryLevelOnEveryPath)
{
    on_every_path([] {
        for (int m : {0, 1, 2, 3, 5, 8, 13, 20}) {
            const Vec h = special_vec(m, 29u + m), g = mirrored(h);
            for (int J = 0; J <= 7; ++J) {
                const int n = 1 << J;
                const Vec X = special_vec(n * n, 200u + J);
                Guarded W(n * n), back(n * n);
                Vec scratch(kSquareScratch * n);
                for (int L = -1; L <= J + 1; ++L) {
                    SCOPED_TRACE(trace(m, J, L));
                    square_analysis(X.data(), n, J, L, h.data(), g.data(), m, W.data(), scratch.data());
                    EXPECT_TRUE(same_bits(W.inside(), ref_square_analysis(X, n, L, h)));
                    square_synthesis(X.data(), n, J, L, h.data(), g.data(), m, back.data(), scratch.data());
                    EXPECT_TRUE(same_bits(back.inside(), ref_square_synthesis(X, n, J, L, h)));
                    EXPECT_TRUE(W.guards_intact() && back.guards_intact());
                }
            }
        }
    });
}

TEST(SquareTransform, RoundTripsAndHaarFourByFour)
{
    for (const Vec& h : {Vec{r2, r2}, kD4, kD8}) {
        const int m = len(h);
        const Vec g = mirrored(h);
        for (int J = 0; J <= 5; ++J) {
            const int n = 1 << J;
            const Vec X = random_vec(n * n, 40u + J);
            Vec W(n * n), back(n * n), scratch(kSquareScratch * n);
            for (int L = -2; L <= J + 1; ++L) {
                square_analysis(X.data(), n, J, L, h.data(), g.data(), m, W.data(), scratch.data());
                square_synthesis(W.data(), n, J, L, h.data(), g.data(), m, back.data(), scratch.data());
                EXPECT_LE(relative_error(back, X), 1e-11) << trace(m, J, L);
            }
        }
    }
    Vec X(16), W(16), scratch(kSquareScratch * 4);
    for (int i = 0; i < 16; ++i) X[i] = i;
    const Vec h{r2, r2}, g = mirrored(h);
    square_analysis(X.data(), 4, 2, 1, h.data(), g.data(), 2, W.data(), scratch.data());
    // rows (5, 21, 4, 4), (9, 25, 4, 4), (1, 1, 0, 0), (1, 1, 0, 0)
    EXPECT_CLOSE(W, (Vec{5, 9, 1, 1, 21, 25, 1, 1, 4, 4, 0, 0, 4, 4, 0, 0}));
}

TEST(PacketKernels, AnalysisMatchesReferenceAndSynthesisIsItsTranspose)
{
    // analysis == the block-by-block reference, nothing written past the
    // table; <synthesis(T), x> == <T, analysis(x)>; for any filter, also a
    // long one.
    for (const Vec& h : {Vec{r2, r2}, kD4, Vec{0.5, -0.2, 1.3, 0.1, -0.7}}) {
        const int m = len(h);
        const Vec g = mirrored(h);
        for (int J = 0; J <= 6; ++J) {
            const int n = 1 << J;
            for (int D = 0; D <= J; ++D) {
                const Vec T = random_vec(n * (D + 1), 300u + 10 * J + D), x = random_vec(n, 77u + J);
                Guarded A(n * (D + 1)), out(n);
                packet_analysis(x.data(), n, D, h.data(), g.data(), m, A.data());
                EXPECT_TRUE(same_bits(A.inside(), ref_packet_analysis(x, D, h))) << trace(m, J, D);
                EXPECT_TRUE(A.guards_intact());
                Vec s(3 * n);
                packet_synthesis(T.data(), n, D, h.data(), g.data(), m, out.data(), s.data());
                double lhs = 0, rhs = 0;
                for (int i = 0; i < n; ++i) lhs += out.inside()[i] * x[i];
                for (size_t i = 0; i < T.size(); ++i) rhs += T[i] * A.inside()[i];
                EXPECT_NEAR(lhs, rhs, 1e-12 * (1 + std::fabs(rhs))) << trace(m, J, D);
                EXPECT_TRUE(out.guards_intact());
            }
        }
    }
}

TEST(CircularShifts, DelayAndAdvanceUndoEachOther)
{
    const Vec x{1, 2, 3, 4};
    Vec r(4), l(4);
    circular_shift_right(x.data(), 4, r.data());
    EXPECT_EQ(r, (Vec{4, 1, 2, 3}));
    circular_shift_left(r.data(), 4, l.data());
    EXPECT_EQ(l, x);
    Vec p{3, -5};
    halve_doubles(p.data(), 2);
    EXPECT_EQ(p, (Vec{1.5, -2.5}));
}

TEST(TranslationInvariant, GivesThePathDoublesOnEveryPath)
{
    on_every_path([] {
        for (int m : {0, 1, 2, 3, 5, 8, 13, 20}) {
            const Vec h = special_vec(m, 29u + m), g = mirrored(h);
            for (int J = 0; J <= 7; ++J) {
                const int n = 8 << J;
                const Vec x = special_vec(n, 300u + J);
                Vec scratch(synthesis_scratch_length(n, 1));
                for (int D = 0; D <= J + 3; ++D) {
                    SCOPED_TRACE(trace(m, J, D));
                    Guarded T(n * (D + 1)), y(n);
                    translation_invariant_analysis(x.data(), n, D, h.data(), g.data(), m, T.data(), scratch.data());
                    Vec expected(n * (D + 1));
                    ref_paths(x, 0, 1, D, n, h, expected);
                    EXPECT_TRUE(same_bits(T.inside(), expected));
                    translation_invariant_synthesis(T.data(), n, D, h.data(), g.data(), m, y.data(), scratch.data());
                    EXPECT_TRUE(same_bits(y.inside(), ref_rebuild(T.inside(), 0, n, 1, D, n, h)));
                    EXPECT_TRUE(T.guards_intact() && y.guards_intact());
                }
            }
        }
    });
}

TEST(TranslationInvariant, RoundTripsForOrthonormalFilters)
{
    for (const Vec& h : {Vec{r2, r2}, kD4, kD8}) {
        const int m = len(h);
        const Vec g = mirrored(h);
        for (int J = 0; J <= 7; ++J) {
            const int n = 1 << J;
            const Vec x = random_vec(n, 500u + J);
            Vec scratch(synthesis_scratch_length(n, 1));
            for (int D = 0; D <= J; ++D) {
                Vec T(n * (D + 1)), y(n);
                translation_invariant_analysis(x.data(), n, D, h.data(), g.data(), m, T.data(), scratch.data());
                translation_invariant_synthesis(T.data(), n, D, h.data(), g.data(), m, y.data(), scratch.data());
                EXPECT_LE(relative_error(y, x), 1e-11) << trace(m, J, D);
            }
        }
    }
}
