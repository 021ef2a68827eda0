// Periodic 1-D wavelet transform (the Jostrane / Unjostrane drivers), full
// depth, n = 2^10 .. 2^20, with 2-, 8- and 20-tap filters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "common/threads.hpp"

#include "wavelet/dyadic.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

namespace {

struct Setup {
    int n, J, m;
    std::vector<double> x, w, h, g, s1, s2;
    Setup(const benchmark::State& state)
        : n(static_cast<int>(state.range(0))), J(0), m(static_cast<int>(state.range(1))), x(n), w(n), h(m), g(m),
          s1(n), s2(n)
    {
        while ((1 << J) < n) ++J;
        for (int i = 0; i < n; ++i) x[i] = std::sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
        for (int k = 0; k < m; ++k) h[k] = 1.0 / std::sqrt(static_cast<double>(m)) * (k % 3 ? 1.0 : -0.5);
        mirror_filter(h.data(), m, g.data());
    }
};

void finish(benchmark::State& state, int n)
{
    state.SetItemsProcessed(state.iterations() * n);
    // Seconds per sample (shown with an SI prefix: 3.7n is 3.7 ns).
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Jostrane(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        periodic_analysis(s.x.data(), s.n, 1, s.J, 0, s.h.data(), s.g.data(), s.m, s.w.data(), s.s1.data());
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

void BM_Unjostrane(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        periodic_synthesis(s.x.data(), s.n, 1, s.J, 0, s.h.data(), s.g.data(), s.m, s.w.data(), s.s1.data());
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {2, 8, 20})
        for (int e = 10; e <= 20; e += 2) b->Args({1 << e, taps});
}

} // namespace

BENCHMARK(BM_Jostrane)->Apply(sizes);
BENCHMARK(BM_Unjostrane)->Apply(sizes);

// Plattigan / Unplattigan drivers on n x n arrays, full depth, n = 256 .. 2048;
// Wendlock / Unwendlock drivers, n = 2^10 .. 2^18, at depth 5 and at full
// depth (third argument), 2^18 also at depth 9; Jostrane / Unjostrane drivers on 256 columns of
// 2^12. Filters of 2 and 8 taps. per_sample is seconds per array element
// (signal sample for the translation-invariant pair). The last argument is
// the thread count: 1, and every core of the machine, timed by the clock.
namespace {

int threads_of(const benchmark::State& state, int arg) { return static_cast<int>(state.range(arg)); }

void BM_Plattigan(benchmark::State& state)
{
    Setup s(state);
    const long long nn = static_cast<long long>(s.n) * s.n;
    const int t = threads_of(state, 2);
    std::vector<double> X(nn), W(nn), scratch(kSquareScratch * s.n * t);
    for (long long i = 0; i < nn; ++i) X[i] = std::sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
    for (auto _ : state) {
        square_analysis(X.data(), s.n, s.J, 0, s.h.data(), s.g.data(), s.m, W.data(), scratch.data(), t);
        benchmark::DoNotOptimize(W.data());
    }
    finish(state, static_cast<int>(nn));
}

void BM_Unplattigan(benchmark::State& state)
{
    Setup s(state);
    const long long nn = static_cast<long long>(s.n) * s.n;
    const int t = threads_of(state, 2);
    std::vector<double> W(nn), X(nn), scratch(kSquareScratch * s.n * t);
    for (long long i = 0; i < nn; ++i) W[i] = std::sin(0.001 * i);
    for (auto _ : state) {
        square_synthesis(W.data(), s.n, s.J, 0, s.h.data(), s.g.data(), s.m, X.data(), scratch.data(), t);
        benchmark::DoNotOptimize(X.data());
    }
    finish(state, static_cast<int>(nn));
}

void BM_Wendlock(benchmark::State& state)
{
    Setup s(state);
    const int D = static_cast<int>(state.range(2));
    const int t = threads_of(state, 3);
    std::vector<double> T(static_cast<size_t>(s.n) * (D + 1)), scratch(s.n);
    for (auto _ : state) {
        translation_invariant_analysis(s.x.data(), s.n, D, s.h.data(), s.g.data(), s.m, T.data(), scratch.data(), t);
        benchmark::DoNotOptimize(T.data());
    }
    finish(state, s.n);
}

void BM_Unwendlock(benchmark::State& state)
{
    Setup s(state);
    const int D = static_cast<int>(state.range(2));
    const int t = threads_of(state, 3);
    std::vector<double> T(static_cast<size_t>(s.n) * (D + 1)), scratch(synthesis_scratch_length(s.n, t));
    for (size_t i = 0; i < T.size(); ++i) T[i] = std::sin(0.01 * i);
    for (auto _ : state) {
        translation_invariant_synthesis(T.data(), s.n, D, s.h.data(), s.g.data(), s.m, s.w.data(), scratch.data(),
                                        t);
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

// 256 columns of 2^12 (a matrix argument of Jostrane / Unjostrane).
void BM_JostraneColumns(benchmark::State& state)
{
    Setup s(state);
    const int count = 256, t = threads_of(state, 2);
    std::vector<double> X(static_cast<size_t>(s.n) * count), W(X.size()),
        scratch(static_cast<size_t>(analysis_scratch_length(s.n, s.m)) * t);
    for (size_t i = 0; i < X.size(); ++i) X[i] = std::sin(0.001 * i);
    for (auto _ : state) {
        periodic_analysis(X.data(), s.n, count, s.J, 0, s.h.data(), s.g.data(), s.m, W.data(), scratch.data(), t);
        benchmark::DoNotOptimize(W.data());
    }
    finish(state, s.n * count);
}

void BM_UnjostraneColumns(benchmark::State& state)
{
    Setup s(state);
    const int count = 256, t = threads_of(state, 2);
    std::vector<double> W(static_cast<size_t>(s.n) * count), X(W.size()), scratch(static_cast<size_t>(s.n / 2) * t);
    for (size_t i = 0; i < W.size(); ++i) W[i] = std::sin(0.001 * i);
    for (auto _ : state) {
        periodic_synthesis(W.data(), s.n, count, s.J, 0, s.h.data(), s.g.data(), s.m, X.data(), scratch.data(), t);
        benchmark::DoNotOptimize(X.data());
    }
    finish(state, s.n * count);
}

// One thread, and every core.
std::vector<long long> thread_counts()
{
    const long long all = std::max(1u, std::thread::hardware_concurrency());
    return all > 1 ? std::vector<long long>{1, all} : std::vector<long long>{1};
}

void square_sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {2, 8})
        for (int n = 256; n <= 2048; n *= 2)
            for (long long t : thread_counts()) b->Args({n, taps, t});
    b->UseRealTime();
}

void invariant_sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {2, 8})
        for (int e = 10; e <= 18; e += 2)
            for (int D : {5, 9, e})
                if (D <= e && (D != 9 || e == 18))
                    for (long long t : thread_counts()) b->Args({1 << e, taps, D, t});
    b->UseRealTime();
}

void column_sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {2, 8})
        for (long long t : thread_counts()) b->Args({1 << 12, taps, t});
    b->UseRealTime();
}

// Where a second thread starts to pay: nc columns of nc values, each split
// once (the column pass of a square level), over for_parts on t threads
// without the drivers' threshold; the work is nc * nc * taps. The smallest
// size gives the cost of starting and joining a thread, the largest the cost
// of a unit of work: threads::kWorkPerThread follows from the two.
void BM_SplitThreshold(benchmark::State& state)
{
    const int nc = static_cast<int>(state.range(0)), m = static_cast<int>(state.range(1));
    const int t = threads_of(state, 2);
    std::vector<double> X(static_cast<size_t>(nc) * nc), W(X.size()), h(m, 0.5), g(m, -0.5);
    for (size_t i = 0; i < X.size(); ++i) X[i] = std::sin(0.001 * i);
    for (auto _ : state) {
        threads::for_parts(nc, t, [&](int, int c0, int c1) {
            for (int c = c0; c < c1; ++c) {
                const size_t at = static_cast<size_t>(c) * nc;
                analysis_step(X.data() + at, nc, h.data(), g.data(), m, W.data() + at, W.data() + at + nc / 2);
            }
        });
        benchmark::DoNotOptimize(W.data());
    }
    state.counters["work"] = static_cast<double>(nc) * nc * m;
}

void threshold_sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {2, 8})
        for (int nc = 16; nc <= 512; nc *= 2)
            for (long long t : {1, 2}) b->Args({nc, taps, t});
    b->UseRealTime();
}

// What the machine's cores give each other, apart from any kernel's split:
// each of the threads repeats an 8-tap analysis step of n samples of its
// own (n = 2^10: all in the first-level cache; n = 2^17: input and output
// beyond the second level, as in a 2-D level of 1024^2), the same work on
// each. With independent cores the time at every core equals the time at
// one; here it is longer by whatever the cores share (a vector unit, a
// cache, a clock), and t(all) / (cores * t(1)) is the best ratio a kernel
// that splits evenly can reach.
void BM_ThreadCeiling(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0)), m = 8, repeats = (1 << 18) / n;
    const int t = threads_of(state, 1);
    std::vector<double> X(static_cast<size_t>(n) * t), W(X.size()), h(m, 0.5), g(m, -0.5);
    for (size_t i = 0; i < X.size(); ++i) X[i] = std::sin(0.001 * i);
    for (auto _ : state) {
        threads::for_parts(t, t, [&](int, int p0, int p1) {
            for (int p = p0; p < p1; ++p)
                for (int r = 0; r < repeats; ++r) {
                    const size_t at = static_cast<size_t>(p) * n;
                    analysis_step(X.data() + at, n, h.data(), g.data(), m, W.data() + at, W.data() + at + n / 2);
                }
        });
        benchmark::DoNotOptimize(W.data());
    }
}

void ceiling_threads(benchmark::internal::Benchmark* b)
{
    const long long all = std::max(1u, std::thread::hardware_concurrency());
    for (long long n : {1 << 10, 1 << 17}) {
        b->Args({n, 1});
        if (all > 1) b->Args({n, all});
    }
    b->UseRealTime();
}

} // namespace

BENCHMARK(BM_Plattigan)->Apply(square_sizes);
BENCHMARK(BM_Unplattigan)->Apply(square_sizes);
BENCHMARK(BM_Wendlock)->Apply(invariant_sizes);
BENCHMARK(BM_Unwendlock)->Apply(invariant_sizes);
BENCHMARK(BM_JostraneColumns)->Apply(column_sizes);
BENCHMARK(BM_UnjostraneColumns)->Apply(column_sizes);
BENCHMARK(BM_SplitThreshold)->Apply(threshold_sizes);
BENCHMARK(BM_ThreadCeiling)->Apply(ceiling_threads)->Unit(benchmark::kMicrosecond);
