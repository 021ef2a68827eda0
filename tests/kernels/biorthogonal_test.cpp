// Centred biorthogonal kernels against a plain modular-index evaluation of
// their formulas, hand-worked wrap-around cases, and round trips of one level
// and of the whole transform.
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
    mirror_filter_centred(f.data(), out.data(), len(f));
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

// The phase sums with the tap counts ceil(L/2) - r and floor(L/2) + r, as
// they stand for the lengths where those counts cover the filter. A second
// reading of the same formulas, so the convolution form above is checked too.
Vec phase_up_lo(const Vec& a, const Vec& g)
{
    const int m = len(a), L = len(g);
    const int t = (L + 1) / 2 - 1, q = static_cast<int>(std::floor(t / 2.0)), r = t - 2 * q;
    Vec y(2 * m, 0.0);
    for (int i = 0; i < m; ++i) {
        const int c = q + i;
        for (int j = 0; j < (L + 1) / 2 - r; ++j) y[2 * i] += g[2 * j + r] * a[mod(c - j, m)];
        for (int j = 0; j < L / 2 + r; ++j) y[2 * i + 1] += g[2 * j + 1 - r] * a[mod(c + r - j, m)];
    }
    return y;
}

Vec phase_up_hi(const Vec& d, const Vec& h)
{
    const int m = len(d), L = len(h);
    const int t = (L + 1) / 2 + 2 * m - L, q = static_cast<int>(std::floor(t / 2.0)), r = t - 2 * q;
    Vec y(2 * m, 0.0);
    for (int i = 0; i < m; ++i) {
        const int c = q + i;
        for (int j = 0; j < (L + 1) / 2 - r; ++j) y[2 * i + 1] += h[2 * j + r] * d[mod(c + r + j, m)];
        for (int j = 0; j < L / 2 + r; ++j) y[2 * i] += h[2 * j + 1 - r] * d[mod(c + j, m)];
    }
    return y;
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
    mirror_filter_centred(nullptr, nullptr, 0);  // an empty filter: nothing read or written
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

            // Where the phase sums cover the filter they agree with the
            // convolution form: odd L, lowpass L = 2 mod 4, highpass L = 0 mod 4.
            if (L % 2 == 1 || L % 4 == 2) {
                EXPECT_CLOSE(ref_up_lo(x, f), phase_up_lo(x, f));
            }
            if (L % 2 == 1 || (L > 0 && L % 4 == 0)) {
                EXPECT_CLOSE(ref_up_hi(x, f), phase_up_hi(x, f));
            }
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
        biorthogonal_analysis(c.x.data(), n, 1, c.L, J, hp.data(), g5.data(), 5, 3, w.data(), scratch.data());
        EXPECT_CLOSE(w, c.w);
        const Vec hs = mirror(g5);
        biorthogonal_synthesis(c.w.data(), n, 1, c.L, J, hs.data(), g3.data(), 5, 3, back.data(), s0.data());
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
                biorthogonal_analysis(x.data(), n, ncols, L, J, ha.data(), g.data(), len(g), len(gd), w.data(),
                                      scratch.data());
                biorthogonal_synthesis(w.data(), n, ncols, L, J, hs.data(), gd.data(), len(g), len(gd), back.data(),
                                       s0.data());
                EXPECT_CLOSE(back, x) << len(g) << "/" << len(gd) << " J=" << J << " L=" << L;
                if (L >= J) {
                    EXPECT_EQ(w, x);
                }
            }
        }
    }
}

// The scalar kernels and drivers as they were before they computed several
// outputs at once: every fast path must give exactly their doubles.
namespace scalar {

int reduce(int t, int n)
{
    while (t >= n) t -= n;
    while (t < 0) t += n;
    return t;
}

int floor_half(int t) { return t >= 0 ? t / 2 : -((1 - t) / 2); }

double rising_sum(const double* x, int n, const double* f, int first, int step, int count, int start)
{
    int t = reduce(start, n);
    double s = 0.0;
    if (t + count <= n) {
        const double* xt = x + t;
        for (int j = 0; j < count; ++j) s += f[first + step * j] * xt[j];
        return s;
    }
    for (int j = 0; j < count; ++j) {
        s += f[first + step * j] * x[t];
        if (++t == n) t = 0;
    }
    return s;
}

double falling_sum(const double* x, int n, const double* f, int first, int step, int count, int start)
{
    int t = reduce(start, n);
    double s = 0.0;
    if (t - count + 1 >= 0) {
        const double* xt = x + t;
        for (int j = 0; j < count; ++j) s += f[first + step * j] * xt[-j];
        return s;
    }
    for (int j = 0; j < count; ++j) {
        s += f[first + step * j] * x[t];
        if (--t < 0) t = n - 1;
    }
    return s;
}

void down_lo(const double* x, int n, const double* g, int L, double* out)
{
    for (int i = 0; i < n / 2; ++i) out[i] = rising_sum(x, n, g, 0, 1, L, n + (L + 1) / 2 - L + 2 * i);
}

void down_hi(const double* x, int n, const double* h, int L, double* out)
{
    for (int i = 0; i < n / 2; ++i) out[i] = falling_sum(x, n, h, 0, 1, L, (L + 1) / 2 + 2 * i);
}

void up_lo(const double* a, int m, const double* g, int L, double* out)
{
    const int t = (L + 1) / 2 - 1, q = floor_half(t), r = t - 2 * q;
    const int n1 = (L + 1 - r) / 2, n2 = (L + r) / 2;
    for (int i = 0; i < m; ++i) {
        out[2 * i] = falling_sum(a, m, g, r, 2, n1, q + i);
        out[2 * i + 1] = falling_sum(a, m, g, 1 - r, 2, n2, q + i + r);
    }
}

void up_hi(const double* d, int m, const double* h, int L, double* out)
{
    const int t = (L + 1) / 2 + 2 * m - L, q = floor_half(t), r = t - 2 * q;
    const int n1 = (L + 1 - r) / 2, n2 = (L + r) / 2;
    for (int i = 0; i < m; ++i) {
        out[2 * i + 1] = rising_sum(d, m, h, r, 2, n1, q + i + r);
        out[2 * i] = rising_sum(d, m, h, 1 - r, 2, n2, q + i);
    }
}

void analysis(const double* x, int n, int ncols, int L, int J, const double* hp, const double* g, int Lg, int Lgd,
              double* out)
{
    L = std::max(L, 0);
    Vec scratch(n);
    for (int c = 0; c < ncols; ++c) {
        double* P = out + c * n;
        std::copy(x + c * n, x + (c + 1) * n, P);
        for (int j = J - 1, e = n; j >= L; --j, e /= 2) {
            std::copy(P, P + e, scratch.data());
            down_lo(scratch.data(), e, g, Lg, P);
            down_hi(scratch.data(), e, hp, Lgd, P + e / 2);
        }
    }
}

void synthesis(const double* w, int n, int ncols, int L, int J, const double* hp, const double* gd, int Lg, int Lgd,
               double* out)
{
    L = std::min(std::max(L, 0), J);
    Vec s0(n), s1(n);
    for (int c = 0; c < ncols; ++c) {
        const double* W = w + c * n;
        double* X = out + c * n;
        std::copy(W, W + (1 << L), X);
        for (int j = L, f = 1 << L; j < J; ++j, f *= 2) {
            up_lo(X, f, gd, Lgd, s0.data());
            up_hi(W + f, f, hp, Lg, s1.data());
            for (int k = 0; k < 2 * f; ++k) X[k] = s0[k] + s1[k];
        }
    }
}

} // namespace scalar

TEST(FastCentredKernels, GiveTheScalarDoublesOnEveryPath)
{
    on_every_path([] {
        for (int L = 0; L <= 25; ++L) {
            const Vec f = special_vec(L, 5u + L), f2 = special_vec(25 - L, 50u + L);
            const int L2 = len(f2);
            for (int m = 1; m <= 2048; m = m < 40 ? m + 1 : 2 * m) {
                SCOPED_TRACE("L=" + std::to_string(L) + " m=" + std::to_string(m));
                const int n = 2 * m;
                const Vec x = special_vec(n, 17u * n + L), a = special_vec(m, 3u * n + L), d = special_vec(m, n + L);
                Vec lo(m), hi(m), want_lo(m), want_hi(m);
                scalar::down_lo(x.data(), n, f.data(), L, want_lo.data());
                scalar::down_hi(x.data(), n, f2.data(), L2, want_hi.data());
                analysis_step_centred(x.data(), n, f.data(), L, f2.data(), L2, lo.data(), hi.data());
                EXPECT_TRUE(same_bits(lo, want_lo) && same_bits(hi, want_hi));
                downsample_lowpass_centred(x.data(), n, f.data(), L, lo.data());
                downsample_highpass_centred(x.data(), n, f2.data(), L2, hi.data());
                EXPECT_TRUE(same_bits(lo, want_lo) && same_bits(hi, want_hi));

                Vec ulo(n), uhi(n), sum(n), want_ulo(n), want_uhi(n), want_sum(n);
                scalar::up_lo(a.data(), m, f.data(), L, want_ulo.data());
                scalar::up_hi(d.data(), m, f2.data(), L2, want_uhi.data());
                for (int k = 0; k < n; ++k) want_sum[k] = want_ulo[k] + want_uhi[k];
                upsample_lowpass_centred(a.data(), m, f.data(), L, ulo.data());
                upsample_highpass_centred(d.data(), m, f2.data(), L2, uhi.data());
                synthesis_step_centred(a.data(), d.data(), m, f.data(), L, f2.data(), L2, sum.data());
                EXPECT_TRUE(same_bits(ulo, want_ulo) && same_bits(uhi, want_uhi) && same_bits(sum, want_sum));
            }
        }
    });
}

TEST(FastCentredDrivers, GiveTheScalarDoublesAtEveryLevel)
{
    on_every_path([] {
        for (int Lg = 0; Lg <= 25; Lg += 1 + Lg / 4) {
            const int Lgd = (Lg + 7) % 26;
            const Vec g = special_vec(Lg, 9u + Lg), gd = special_vec(Lgd, 19u + Lg);
            const Vec ha = mirror(gd), hs = mirror(g);
            for (int J = 0; J <= 12; ++J) {
                const int n = 1 << J, ncols = J < 6 ? 2 : 1;
                const Vec x = special_vec(n * ncols, 100u + J);
                Vec w(n * ncols), back(n * ncols), want(n * ncols), scratch(n / 4 * 3), half(n / 2);
                for (int L = -1; L <= J + 1; ++L) {
                    SCOPED_TRACE("Lg=" + std::to_string(Lg) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                    biorthogonal_analysis(x.data(), n, ncols, L, J, ha.data(), g.data(), Lg, Lgd, w.data(),
                                          scratch.data());
                    scalar::analysis(x.data(), n, ncols, L, J, ha.data(), g.data(), Lg, Lgd, want.data());
                    EXPECT_TRUE(same_bits(w, want));
                    biorthogonal_synthesis(x.data(), n, ncols, L, J, hs.data(), gd.data(), Lg, Lgd, back.data(),
                                           half.data());
                    scalar::synthesis(x.data(), n, ncols, L, J, hs.data(), gd.data(), Lg, Lgd, want.data());
                    EXPECT_TRUE(same_bits(back, want));
                }
            }
        }
    });
}
