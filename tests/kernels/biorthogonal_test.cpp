// Centred biorthogonal kernels against the defining sums, one output at a
// time with a true modulo (every instruction-set path must give their very
// doubles: each sum starts at 0.0 and adds its taps in ascending order, as
// the kernels do), hand-worked wrap-around cases, and round trips of one
// level and of the whole transform.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "biorthogonal/centred.hpp"
#include "biorthogonal/transform.hpp"
#include "tests/support/simd_paths.hpp"
#include "tests/support/tolerance.hpp"
#include "tests/support/vectors.hpp"

namespace {

using Vec = std::vector<double>;

int len(const Vec& v) { return static_cast<int>(v.size()); }

Vec mirror(const Vec& f)
{
    Vec out(f.size());
    mirror_filter_centred(f.data(), len(f), out.data());
    return out;
}

// The defining sums, index by index, with a true modulo.
Vec ref_down_lo(const Vec& x, const Vec& g)
{
    const int n = len(x), L = len(g);
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (int j = 0; j < L; ++j) y[i] += g[j] * x[mod(2 * i + j - L / 2, n)];
    return y;
}

Vec ref_down_hi(const Vec& x, const Vec& h)
{
    const int n = len(x), L = len(h);
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (int j = 0; j < L; ++j) y[i] += h[j] * x[mod(2 * i + (L + 1) / 2 - j, n)];
    return y;
}

Vec upsampled(const Vec& a)
{
    Vec up(2 * a.size(), 0.0);
    for (size_t i = 0; i < a.size(); ++i) up[2 * i] = a[i];
    return up;
}

// Convolution form over the zero-filled upsampled input.
Vec ref_up_lo(const Vec& a, const Vec& g)
{
    const int m2 = 2 * len(a), L = len(g);
    const Vec up = upsampled(a);
    Vec y(m2, 0.0);
    for (int k = 0; k < m2; ++k)
        for (int p = 0; p < L; ++p) y[k] += g[p] * up[mod(k - p + (L + 1) / 2 - 1, m2)];
    return y;
}

Vec ref_up_hi(const Vec& d, const Vec& h)
{
    const int m2 = 2 * len(d), L = len(h);
    const Vec up = upsampled(d);
    Vec y(m2, 0.0);
    for (int k = 0; k < m2; ++k)
        for (int p = 0; p < L; ++p) y[k] += h[p] * up[mod(k + p - L / 2 - 1, m2)];
    return y;
}

// The phase sums, one phase of the filter for each output of a pair: taps
// r, r + 2, ... (n1 of them) and 1 - r, 3 - r, ... (n2), the taps that
// exist. The order in which the kernels add; the convolution form above
// must agree with it to rounding.
struct PhaseSplit {
    int q, r, n1, n2;
    PhaseSplit(int t, int L)
        : q(static_cast<int>(std::floor(t / 2.0))), r(t - 2 * q), n1((L + 1 - r) / 2), n2((L + r) / 2) {}
};

Vec phase_up_lo(const Vec& a, const Vec& g)
{
    const int m = len(a), L = len(g);
    const PhaseSplit p((L + 1) / 2 - 1, L);
    Vec y(2 * m, 0.0);
    for (int i = 0; i < m; ++i) {
        const int c = p.q + i;
        for (int j = 0; j < p.n1; ++j) y[2 * i] += g[2 * j + p.r] * a[mod(c - j, m)];
        for (int j = 0; j < p.n2; ++j) y[2 * i + 1] += g[2 * j + 1 - p.r] * a[mod(c + p.r - j, m)];
    }
    return y;
}

Vec phase_up_hi(const Vec& d, const Vec& h)
{
    const int m = len(d), L = len(h);
    const PhaseSplit p((L + 1) / 2 + 2 * m - L, L);
    Vec y(2 * m, 0.0);
    for (int i = 0; i < m; ++i) {
        const int c = p.q + i;
        for (int j = 0; j < p.n1; ++j) y[2 * i + 1] += h[2 * j + p.r] * d[mod(c + p.r + j, m)];
        for (int j = 0; j < p.n2; ++j) y[2 * i] += h[2 * j + 1 - p.r] * d[mod(c + j, m)];
    }
    return y;
}

Vec sum_of(const Vec& a, const Vec& b)
{
    Vec y(a.size());
    for (size_t k = 0; k < y.size(); ++k) y[k] = a[k] + b[k];
    return y;
}

Vec slice(const Vec& v, int from, int count) { return Vec(v.begin() + from, v.begin() + from + count); }

void put(Vec& v, int at, const Vec& part) { std::copy(part.begin(), part.end(), v.begin() + at); }

// The dyadic layout of each column of n values, level by level.
Vec ref_analysis(const Vec& x, int n, int level, const Vec& g, const Vec& ha)
{
    Vec w = x;
    for (int at = 0; at < len(x); at += n)
        for (int e = n; e >= 2 && e > (1 << std::max(level, 0)); e /= 2) {
            const Vec block = slice(w, at, e);
            put(w, at, ref_down_lo(block, g));
            put(w, at + e / 2, ref_down_hi(block, ha));
        }
    return w;
}

Vec ref_synthesis(const Vec& w, int n, int log2n, int level, const Vec& gd, const Vec& hs)
{
    Vec x = w;
    for (int at = 0; at < len(w); at += n)
        for (int f = 1 << std::min(std::max(level, 0), log2n); f < n; f *= 2)
            put(x, at, sum_of(phase_up_lo(slice(x, at, f), gd), phase_up_hi(slice(x, at + f, f), hs)));
    return x;
}

const Vec g5{-1.0 / 8, 1.0 / 4, 3.0 / 4, 1.0 / 4, -1.0 / 8};
const Vec g3{1.0 / 2, 1.0, 1.0 / 2};

// The 9/7 pair made from its four lifting steps, whose composition is
// biorthogonal whatever the digits of the constants: the taps are read off
// the impulse responses of the lowpass output centred on x[0] and the
// highpass output centred on x[1], and the dual lowpass is the mirror of
// that highpass.
void cdf97(Vec& g9, Vec& g7)
{
    const double a = -1.586134342059924, b = -0.052980118572961, c = 0.882911075530934, d = 0.443506852043971;
    const int n = 16, h = n / 2;
    Vec lo(n), hi(n);
    for (int k = 0; k < n; ++k) {
        Vec s(h, 0.0), e(h, 0.0);
        (k % 2 ? e : s)[k / 2] = 1.0;
        for (int i = 0; i < h; ++i) e[i] += a * (s[i] + s[(i + 1) % h]);
        for (int i = 0; i < h; ++i) s[i] += b * (e[(i + h - 1) % h] + e[i]);
        for (int i = 0; i < h; ++i) e[i] += c * (s[i] + s[(i + 1) % h]);
        for (int i = 0; i < h; ++i) s[i] += d * (e[(i + h - 1) % h] + e[i]);
        lo[k] = s[0];
        hi[k] = e[0];
    }
    g9.assign(9, 0.0);
    Vec h7(7);
    for (int j = 0; j < 9; ++j) g9[j] = lo[mod(j - 4, n)];
    for (int j = 0; j < 7; ++j) h7[j] = hi[mod(4 - j, n)];
    g7 = mirror(h7);
}

} // namespace

TEST(MirrorFilterCentred, ExamplesAndFirstSigns)
{
    EXPECT_EQ(mirror(g3), (Vec{-0.5, 1.0, -0.5}));
    EXPECT_EQ(mirror(g5), (Vec{-1.0 / 8, -1.0 / 4, 3.0 / 4, -1.0 / 4, -1.0 / 8}));
    const double first[] = {+1, +1, -1, -1, +1, +1, -1, -1, +1};
    for (int L = 1; L <= 9; ++L) {
        const Vec m = mirror(Vec(L, 1.0));
        EXPECT_EQ(m[0], first[L - 1]) << "L=" << L;
        EXPECT_EQ(m[(L - 1) / 2], 1.0) << "centre of L=" << L;
        for (int i = 1; i < L; ++i) EXPECT_EQ(m[i], -m[i - 1]);
    }
    mirror_filter_centred(nullptr, 0, nullptr); // an empty filter: nothing read or written
}

TEST(CentredKernels, MatchModularReferenceForAllFilterAndBlockLengths)
{
    for (int L = 0; L <= 11; ++L) {
        for (int n = 1; n <= 16; ++n) {
            SCOPED_TRACE("L=" + std::to_string(L) + " n=" + std::to_string(n));
            const Vec f = random_vec(L, 17u * L + 1), x = random_vec(n, 31u * n + L);

            Guarded lo(n / 2), hi(n / 2);
            downsample_lowpass_centred(x.data(), n, f.data(), L, lo.data());
            downsample_highpass_centred(x.data(), n, f.data(), L, hi.data());
            EXPECT_CLOSE(lo.inside(), ref_down_lo(x, f));
            EXPECT_CLOSE(hi.inside(), ref_down_hi(x, f));

            // Synthesis blocks of m = n values (m >= 1), 2m outputs.
            Guarded ulo(2 * n), uhi(2 * n);
            upsample_lowpass_centred(x.data(), n, f.data(), L, ulo.data());
            upsample_highpass_centred(x.data(), n, f.data(), L, uhi.data());
            EXPECT_CLOSE(ulo.inside(), ref_up_lo(x, f));
            EXPECT_CLOSE(uhi.inside(), ref_up_hi(x, f));
            EXPECT_TRUE(lo.guards_intact() && hi.guards_intact() && ulo.guards_intact() && uhi.guards_intact());

            // The phase sums agree with the convolution form for every length.
            EXPECT_CLOSE(phase_up_lo(x, f), ref_up_lo(x, f));
            EXPECT_CLOSE(phase_up_hi(x, f), ref_up_hi(x, f));
        }
    }
}

TEST(CentredKernels, HandWorkedWrapsAndSampling)
{
    // One tap: scaled sampling of the even (lowpass) and odd (highpass) samples.
    const Vec x{1, 2, 3, 4, 5, 6}, three{3.0};
    Vec lo(3), hi(3);
    downsample_lowpass_centred(x.data(), 6, three.data(), 1, lo.data());
    downsample_highpass_centred(x.data(), 6, three.data(), 1, hi.data());
    EXPECT_EQ(lo, (Vec{3, 9, 15}));
    EXPECT_EQ(hi, (Vec{6, 12, 18}));

    // n = 2, nine taps: every index wraps, all nine taps are summed. The
    // lowpass centre g[4] meets x[0], so even taps meet x[0]; the highpass
    // starts at x[(5 - j) mod 2], so odd taps meet x[0].
    const Vec f9{1, 2, 3, 4, 5, 6, 7, 8, 9}, x2{10, 100};
    Vec y(1);
    downsample_lowpass_centred(x2.data(), 2, f9.data(), 9, y.data());
    EXPECT_EQ(y[0], 10.0 * (1 + 3 + 5 + 7 + 9) + 100.0 * (2 + 4 + 6 + 8));
    downsample_highpass_centred(x2.data(), 2, f9.data(), 9, y.data());
    EXPECT_EQ(y[0], 10.0 * (2 + 4 + 6 + 8) + 100.0 * (1 + 3 + 5 + 7 + 9));

    // m = 1 with seven highpass taps (t = -1, q = -1, r = 1): the odd output
    // takes taps 1, 3, 5 and the even output taps 0, 2, 4, 6.
    const Vec h7{1, 2, 4, 8, 16, 32, 64}, d{2.0};
    Vec out(2);
    upsample_highpass_centred(d.data(), 1, h7.data(), 7, out.data());
    EXPECT_EQ(out, (Vec{2.0 * (1 + 4 + 16 + 64), 2.0 * (2 + 8 + 32)}));

    // An empty filter gives zeros; a block below two values gets nothing written.
    Guarded z(2), one(0);
    upsample_highpass_centred(d.data(), 1, nullptr, 0, z.data());
    upsample_lowpass_centred(d.data(), 1, nullptr, 0, z.data());
    EXPECT_EQ(z.inside(), (Vec{0.0, 0.0}));
    downsample_lowpass_centred(d.data(), 1, f9.data(), 9, one.data());
    downsample_highpass_centred(d.data(), 1, f9.data(), 9, one.data());
    EXPECT_TRUE(z.guards_intact() && one.guards_intact());
}

TEST(CentredKernels, OneLevelRoundTripForBiorthogonalPairsAtEveryBlockLength)
{
    Vec g9, g7;
    cdf97(g9, g7);
    const std::pair<Vec, Vec> pairs[] = {{g5, g3}, {g3, g5}, {g9, g7}, {g7, g9}};
    for (const auto& [g, gd] : pairs) {
        const Vec hp_analysis = mirror(gd), hp_synthesis = mirror(g);
        for (int m = 1; m <= 16; ++m) {
            const Vec x = random_vec(2 * m, 5u + m);
            Vec a(m), d(m), s0(2 * m), s1(2 * m), back(2 * m);
            downsample_lowpass_centred(x.data(), 2 * m, g.data(), len(g), a.data());
            downsample_highpass_centred(x.data(), 2 * m, hp_analysis.data(), len(gd), d.data());
            upsample_lowpass_centred(a.data(), m, gd.data(), len(gd), s0.data());
            upsample_highpass_centred(d.data(), m, hp_synthesis.data(), len(g), s1.data());
            for (int k = 0; k < 2 * m; ++k) back[k] = s0[k] + s1[k];
            EXPECT_CLOSE(back, x) << "L=" << len(g) << "/" << len(gd) << " m=" << m;
        }
    }
}

TEST(BiorthogonalTransform, LayoutOfTheFiveThreeExamples)
{
    const Vec hp = mirror(g3);
    const struct {
        Vec x;
        int L;
        Vec w;
    } cases[] = {
        {{1, 2, 3, 4}, 1, {1.5, 3.5, 0, 2}},
        {{1, 2, 3, 4}, 0, {2.5, 2, 0, 2}},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 0, {4.5, 3, -0.5, 4.5, 0, 0, 0, 4}},
    };
    for (const auto& c : cases) {
        const int n = len(c.x), J = n == 4 ? 2 : 3;
        Vec w(n), scratch(n), back(n), s0(n);
        biorthogonal_analysis(c.x.data(), n, 1, J, c.L, g5.data(), 5, hp.data(), 3, w.data(), scratch.data());
        EXPECT_CLOSE(w, c.w);
        const Vec hs = mirror(g5);
        biorthogonal_synthesis(c.w.data(), n, 1, J, c.L, g3.data(), 3, hs.data(), 5, back.data(), s0.data());
        EXPECT_CLOSE(back, c.x);
    }
}

TEST(BiorthogonalTransform, RoundTripsAtEveryLevelIncludingClampedOnes)
{
    Vec g9, g7;
    cdf97(g9, g7);
    const std::pair<Vec, Vec> pairs[] = {{g5, g3}, {g3, g5}, {g9, g7}, {g7, g9}};
    for (const auto& [g, gd] : pairs) {
        const Vec ha = mirror(gd), hs = mirror(g);
        for (int J = 0; J <= 9; ++J) {
            const int n = 1 << J, ncols = 3;
            const Vec x = random_vec(n * ncols, 100u + J);
            Vec w(n * ncols), back(n * ncols), scratch(n), s0(n);
            for (int L = -3; L <= J + 2; ++L) {
                biorthogonal_analysis(x.data(), n, ncols, J, L, g.data(), len(g), ha.data(), len(gd), w.data(),
                                      scratch.data());
                biorthogonal_synthesis(w.data(), n, ncols, J, L, gd.data(), len(gd), hs.data(), len(g), back.data(),
                                       s0.data());
                EXPECT_CLOSE(back, x) << len(g) << "/" << len(gd) << " J=" << J << " L=" << L;
                if (L >= J) {
                    EXPECT_EQ(w, x);
                }
            }
        }
    }
}

TEST(FastCentredKernels, GiveTheDefiningSumsOnEveryPath)
{
    on_every_path([] {
        for (int L = 0; L <= 25; ++L) {
            const Vec f = special_vec(L, 5u + L), f2 = special_vec(25 - L, 50u + L);
            const int L2 = len(f2);
            for (int m = 1; m <= 2048; m = m < 40 ? m + 1 : 2 * m) {
                SCOPED_TRACE("L=" + std::to_string(L) + " m=" + std::to_string(m));
                const int n = 2 * m;
                const Vec x = special_vec(n, 17u * n + L), a = special_vec(m, 3u * n + L), d = special_vec(m, n + L);
                const Vec want_lo = ref_down_lo(x, f), want_hi = ref_down_hi(x, f2);
                Guarded lo(m), hi(m);
                analysis_step_centred(x.data(), n, f.data(), L, f2.data(), L2, lo.data(), hi.data());
                EXPECT_TRUE(same_bits(lo.inside(), want_lo) && same_bits(hi.inside(), want_hi));
                downsample_lowpass_centred(x.data(), n, f.data(), L, lo.data());
                downsample_highpass_centred(x.data(), n, f2.data(), L2, hi.data());
                EXPECT_TRUE(same_bits(lo.inside(), want_lo) && same_bits(hi.inside(), want_hi));

                const Vec want_ulo = phase_up_lo(a, f), want_uhi = phase_up_hi(d, f2);
                Guarded ulo(n), uhi(n), sum(n);
                upsample_lowpass_centred(a.data(), m, f.data(), L, ulo.data());
                upsample_highpass_centred(d.data(), m, f2.data(), L2, uhi.data());
                synthesis_step_centred(a.data(), d.data(), m, f.data(), L, f2.data(), L2, sum.data());
                EXPECT_TRUE(same_bits(ulo.inside(), want_ulo) && same_bits(uhi.inside(), want_uhi) &&
                            same_bits(sum.inside(), sum_of(want_ulo, want_uhi)));
                EXPECT_TRUE(lo.guards_intact() && hi.guards_intact() && ulo.guards_intact() && uhi.guards_intact() &&
                            sum.guards_intact());
            }
        }
    });
}

TEST(FastCentredDrivers, GiveTheDefiningDoublesAtEveryLevel)
{
    on_every_path([] {
        for (int Lg = 0; Lg <= 25; Lg += 1 + Lg / 4) {
            const int Lgd = (Lg + 7) % 26;
            const Vec g = special_vec(Lg, 9u + Lg), gd = special_vec(Lgd, 19u + Lg);
            const Vec ha = mirror(gd), hs = mirror(g);
            for (int J = 0; J <= 12; ++J) {
                const int n = 1 << J, ncols = J < 6 ? 2 : 1;
                const Vec x = special_vec(n * ncols, 100u + J);
                Vec w(n * ncols), back(n * ncols), scratch(n / 4 * 3), half(n / 2);
                for (int L = -1; L <= J + 1; ++L) {
                    SCOPED_TRACE("Lg=" + std::to_string(Lg) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                    biorthogonal_analysis(x.data(), n, ncols, J, L, g.data(), Lg, ha.data(), Lgd, w.data(),
                                          scratch.data());
                    EXPECT_TRUE(same_bits(w, ref_analysis(x, n, L, g, ha)));
                    biorthogonal_synthesis(x.data(), n, ncols, J, L, gd.data(), Lgd, hs.data(), Lg, back.data(),
                                           half.data());
                    EXPECT_TRUE(same_bits(back, ref_synthesis(x, n, J, L, gd, hs)));
                }
            }
        }
    });
}
