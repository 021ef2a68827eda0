// Periodic 1-D wavelet transform (the Jostrane / Unjostrane drivers), full
// depth, n = 2^10 .. 2^20, with 2-, 8- and 20-tap filters.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "wavelet/dyadic.hpp"
#include "wavelet/periodic.hpp"

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
        mirror_filter(h.data(), g.data(), m);
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
        periodic_analysis(s.x.data(), s.w.data(), s.n, 1, s.J, 0, s.h.data(), s.g.data(), s.m, s.s1.data());
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

void BM_Unjostrane(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        periodic_synthesis(s.x.data(), s.w.data(), s.n, 1, s.J, 0, s.h.data(), s.g.data(), s.m, s.s1.data(),
                           s.s2.data());
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
