// Biorthogonal transform (the Morrowel / Unmorrowel drivers), full depth,
// n = 2^10 .. 2^20, with the 5/3 and the 9/7 pair.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "biorthogonal/centred.hpp"
#include "biorthogonal/transform.hpp"

namespace {

// Primary and dual lowpass filters of the two pairs (sum 1 and sum 2).
const std::vector<double> g5{-0.125, 0.25, 0.75, 0.25, -0.125}, g3{0.5, 1.0, 0.5};
const std::vector<double> g9{0.026748757410810, -0.016864118442875, -0.078223266528990, 0.266864118442875,
                             0.602949018236360, 0.266864118442875, -0.078223266528990, -0.016864118442875,
                             0.026748757410810};
const std::vector<double> g7{-0.091271763114250, -0.057543526228500, 0.591271763114250, 1.115087052457000,
                             0.591271763114250, -0.057543526228500, -0.091271763114250};

struct Setup {
    int n, J;
    const std::vector<double>& g;
    const std::vector<double>& gd;
    std::vector<double> x, w, ha, hs, s0, s1;
    Setup(const benchmark::State& state)
        : n(static_cast<int>(state.range(0))), J(0), g(state.range(1) == 9 ? g9 : g5),
          gd(state.range(1) == 9 ? g7 : g3), x(n), w(n), ha(gd.size()), hs(g.size()), s0(n), s1(n)
    {
        while ((1 << J) < n) ++J;
        for (int i = 0; i < n; ++i) x[i] = std::sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
        mirror_filter_centred(gd.data(), static_cast<int>(gd.size()), ha.data());
        mirror_filter_centred(g.data(), static_cast<int>(g.size()), hs.data());
    }
    int Lg() const { return static_cast<int>(g.size()); }
    int Lgd() const { return static_cast<int>(gd.size()); }
};

void finish(benchmark::State& state, int n)
{
    state.SetItemsProcessed(state.iterations() * n);
    // Seconds per sample (shown with an SI prefix: 3.7n is 3.7 ns).
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Morrowel(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        biorthogonal_analysis(s.x.data(), s.n, 1, s.J, 0, s.g.data(), s.Lg(), s.ha.data(), s.Lgd(), s.w.data(),
                              s.s0.data());
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

void BM_Unmorrowel(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        biorthogonal_synthesis(s.x.data(), s.n, 1, s.J, 0, s.gd.data(), s.Lgd(), s.hs.data(), s.Lg(), s.w.data(),
                               s.s0.data());
        benchmark::DoNotOptimize(s.w.data());
    }
    finish(state, s.n);
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int taps : {5, 9})
        for (int e = 10; e <= 20; e += 2) b->Args({1 << e, taps});
}

} // namespace

BENCHMARK(BM_Morrowel)->Apply(sizes);
BENCHMARK(BM_Unmorrowel)->Apply(sizes);
