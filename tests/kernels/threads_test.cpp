// The threading layer, and every driver that uses it: the same doubles for
// any thread count, on every instruction-set path.
#include <atomic>
#include <cmath>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "biorthogonal/centred.hpp"
#include "biorthogonal/transform.hpp"
#include "cosine_packets/packet_table.hpp"
#include "common/threads.hpp"
#include "pyramid/average.hpp"
#include "pyramid/median.hpp"
#include "pyramid/pyramid.hpp"
#include "pyramid/staged_merge.hpp"
#include "tests/support/simd_paths.hpp"
#include "wavelet/dyadic.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/packets.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

using Vec = std::vector<double>;

TEST(Threads, ChunksCoverTheRangeOnceAndAWorkersExceptionReachesTheCaller)
{
    for (int count : {0, 1, 5, 64, 1000})
        for (int t : {1, 2, 3, 7, 200}) {
            std::vector<std::atomic<int>> seen(count);
            std::vector<std::atomic<int>> busy(threads::kMost);
            threads::for_parts(count, t, [&](int slot, int begin, int end) {
                ASSERT_TRUE(slot >= 0 && slot < std::min(t, threads::kMost)) << slot;
                EXPECT_EQ(busy[slot]++, 0) << "two calls of one slot overlap";
                EXPECT_LT(begin, end);
                for (int i = begin; i < end; ++i) ++seen[i];
                --busy[slot];
            });
            for (int i = 0; i < count; ++i) EXPECT_EQ(seen[i], 1) << i << " of " << count << " on " << t;
        }
    // The calling thread holds its first chunk until a worker has thrown.
    std::atomic<bool> thrown{false};
    EXPECT_THROW(threads::for_parts(70, 7,
                                    [&](int slot, int, int) {
                                        if (slot != 0) {
                                            thrown = true;
                                            throw std::bad_alloc();
                                        }
                                        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                                        while (!thrown && std::chrono::steady_clock::now() < until)
                                            std::this_thread::yield();
                                    }),
                 std::bad_alloc);
    EXPECT_TRUE(thrown);
}

namespace {

// One driver call on `threads` threads, returning everything it wrote.
struct Driver {
    const char* name;
    double work; // the work units of its largest split, which must allow 7 threads
    std::function<Vec(int threads)> run;
};

// The least J with 2^J * factor at least the work of 7 threads.
int exponent_for_seven(double factor)
{
    int J = 1;
    while ((1 << J) * factor < 7 * threads::kWorkPerThread) ++J;
    return J;
}

std::vector<Driver> drivers()
{
    static const Vec h = random_vec(8, 1);
    static const Vec g = [] {
        Vec v(h.size());
        mirror_filter(h.data(), static_cast<int>(h.size()), v.data());
        return v;
    }();
    static const Vec gd = random_vec(9, 8), hd = [] {
        Vec v(gd.size());
        mirror_filter_centred(gd.data(), static_cast<int>(gd.size()), v.data());
        return v;
    }();
    const int m = static_cast<int>(h.size()), Lg = 5, Lgd = static_cast<int>(gd.size());
    // Sizes just large enough for 7 threads: squares, an odd count of
    // columns of 1024, translation-invariant and packet tables.
    int J2 = (exponent_for_seven(m) + 1) / 2;
    while ((1 << J2) < kSquareThreadsFrom) ++J2;
    const int side = 1 << J2;
    const int len = 1 << 10, J1 = 10, cols = static_cast<int>(7 * threads::kWorkPerThread / (len * m)) | 1;
    const int n = 1 << exponent_for_seven(m), D = 9; // tables of n x (D+1), both kinds
    // Cosine packets: every level of 2^Jc down to blocks of 2^(Jc-Dc) = 512
    // is worth 7 threads.
    const int Jc = 18, nc = 1 << Jc, Dc = 9;
    // Pyramids of 3^11 (the averages, cheaper, of 3^12): two or more
    // inverse levels of at least 3^10 split, or one from L = J - 1. The
    // medians' signal has ties, infinities and signed zeros but no NaN, so
    // that the sorted chunks run, and one -0; the averages' has NaN too.
    const auto forward = [](PyramidForward f, int J, const Vec& x) {
        return [=](int t) {
            const int np = power_of_three(J);
            Vec w(2 * np);
            EXPECT_TRUE(f(x.data(), np, J, 1, 2, w.data(), t));
            return w;
        };
    };
    const auto inverse = [](refine_step refine, int J, int L, unsigned seed) {
        return [=](int t) {
            const int np = power_of_three(J);
            const Vec w = special_vec(2 * np, seed);
            Vec y(np);
            EXPECT_TRUE(pyramid_inverse(w.data(), np, J, L, 2, refine, y.data(), t));
            return y;
        };
    };
    Vec ties = special_vec(power_of_three(11), 15);
    for (double& e : ties) e = std::isnan(e) || e == 0 ? 0.0 : std::floor(8 * e) / 8;
    ties[ties.size() - 5] = -0.0; // found by whichever thread takes the last chunk
    return {
        {"median_pyramid_forward", 108.0 * ties.size(), forward(median_pyramid_forward, 11, ties)},
        {"average_pyramid_forward", 8.0 * power_of_three(12),
         forward(average_pyramid_forward, 12, special_vec(power_of_three(12), 16))},
        {"pyramid_inverse, median", 27.0 * power_of_three(11), inverse(median_refine, 11, 1, 17)},
        {"pyramid_inverse, average from L = 11", 7.0 * power_of_three(12), inverse(average_refine, 12, 11, 18)},
        {"square_analysis", 1.0 * side * side * m,
         [=](int t) {
             const Vec X = special_vec(side * side, 2);
             Vec W(X.size()), s(kSquareScratch * side * t);
             square_analysis(X.data(), side, J2, 1, h.data(), g.data(), m, W.data(), s.data(), t);
             return W;
         }},
        {"square_synthesis", 1.0 * side * side * m,
         [=](int t) {
             const Vec W = special_vec(side * side, 3);
             Vec X(W.size()), s(kSquareScratch * side * t);
             square_synthesis(W.data(), side, J2, 0, h.data(), g.data(), m, X.data(), s.data(), t);
             return X;
         }},
        {"periodic_analysis", 2.0 * len * cols * m,
         [=](int t) {
             const Vec x = special_vec(len * cols, 4);
             Vec w(x.size()), s(analysis_scratch_length(len, m) * t);
             periodic_analysis(x.data(), len, cols, J1, 2, h.data(), g.data(), m, w.data(), s.data(), t);
             return w;
         }},
        {"periodic_synthesis", 1.0 * len * cols * m,
         [=](int t) {
             const Vec w = special_vec(len * cols, 5);
             Vec x(w.size()), s(len / 2 * t);
             periodic_synthesis(w.data(), len, cols, J1, 0, h.data(), g.data(), m, x.data(), s.data(), t);
             return x;
         }},
        {"translation_invariant_analysis", 1.0 * n * m,
         [=](int t) {
             const Vec x = special_vec(n, 6);
             Vec T(static_cast<size_t>(n) * (D + 1)), s(n);
             translation_invariant_analysis(x.data(), n, D, h.data(), g.data(), m, T.data(), s.data(), t);
             return T;
         }},
        {"translation_invariant_synthesis", 1.0 * n * m,
         [=](int t) {
             const Vec T = special_vec(n * (D + 1), 7);
             Vec y(n), s(synthesis_scratch_length(n, t));
             translation_invariant_synthesis(T.data(), n, D, h.data(), g.data(), m, y.data(), s.data(), t);
             return y;
         }},
        {"packet_analysis", 1.0 * n * m,
         [=](int t) {
             const Vec x = special_vec(n, 9);
             Vec T(static_cast<size_t>(n) * (D + 1));
             packet_analysis(x.data(), n, D, h.data(), g.data(), m, T.data(), t);
             return T;
         }},
        {"packet_synthesis", 1.0 * n * m,
         [=](int t) {
             const Vec T = special_vec(n * (D + 1), 10);
             Vec y(n), s(packet_synthesis_scratch_length(n, t));
             packet_synthesis(T.data(), n, D, h.data(), g.data(), m, y.data(), s.data(), t);
             return y;
         }},
        {"cosine_packet_analysis", cosine_packet_level_work(nc, Dc),
         [=](int t) {
             const Vec x = special_vec(nc, 13);
             Vec T(static_cast<size_t>(nc) * (Dc + 1)), s(cosine_packet_analysis_scratch(nc, t));
             cosine_packet_analysis(x.data(), nc, Dc, T.data(), s.data(), t);
             return T;
         }},
        {"cosine_packet_synthesis", cosine_packet_level_work(nc, Dc),
         [=](int t) {
             const Vec T = special_vec(nc * (Dc + 1), 14);
             Vec x(nc), s(cosine_packet_synthesis_scratch(nc, Dc, t));
             cosine_packet_synthesis(T.data(), nc, Dc, x.data(), s.data(), t);
             return x;
         }},
        {"biorthogonal_analysis", 1.0 * len * cols * (Lg + Lgd),
         [=](int t) {
             const Vec x = special_vec(len * cols, 11);
             Vec w(x.size()), s(len / 4 * 3 * t);
             biorthogonal_analysis(x.data(), len, cols, J1, 1, gd.data(), Lg, hd.data(), Lgd, w.data(), s.data(), t);
             return w;
         }},
        {"biorthogonal_synthesis", 1.0 * len * cols * (Lg + Lgd),
         [=](int t) {
             const Vec w = special_vec(len * cols, 12);
             Vec x(w.size()), s(len / 2 * t);
             biorthogonal_synthesis(w.data(), len, cols, J1, 0, gd.data(), Lgd, hd.data(), Lg, x.data(), s.data(), t);
             return x;
         }},
    };
}

} // namespace

TEST(Threads, EveryDriverGivesTheDoublesOfOneThread)
{
    for (const Driver& d : drivers()) {
        SCOPED_TRACE(d.name);
        ASSERT_EQ(threads::worth(d.work, 7), 7) << "too small to run on 7 threads";
        on_every_path([&] {
            const Vec one = d.run(1);
            for (int t : {2, 3, 7}) EXPECT_TRUE(same_bits(d.run(t), one)) << t << " threads";
        });
    }
}
