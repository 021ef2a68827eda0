// The four trigonometric transforms as one plug-in call runs them: the
// table buffer's tag cleared (so the tables are rebuilt), the input copied
// in, the transform step. n = 2^4 .. 2^20. DCT-II also with its
// table buffer reused from the previous call.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "common/arrays.hpp"
#include "trig/hartley.hpp"
#include "trig/sine.hpp"

namespace {

using Step = void (*)(double*, int, double*, double*);

struct Setup {
    int n, log2n;
    std::vector<double> x, scratch;
    explicit Setup(const benchmark::State& state) : n(static_cast<int>(state.range(0))), log2n(0), x(n), scratch(4 * n)
    {
        while ((1 << log2n) < n) ++log2n;
        for (int i = 0; i < n; ++i) x[i] = std::sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
    }
};

void finish(benchmark::State& state, int n)
{
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void as_plugin(benchmark::State& state, Step step)
{
    Setup s(state);
    double* w = s.scratch.data();
    for (auto _ : state) {
        w[2 * s.n] = 0.0;
        copy_doubles(s.x.data(), w, s.n);
        step(w, s.log2n, w + s.n, w + 2 * s.n);
        benchmark::DoNotOptimize(w);
        benchmark::ClobberMemory();
    }
    finish(state, s.n);
}

void BM_Fennick(benchmark::State& state) { as_plugin(state, cosine_transform_type2); }
void BM_Gorsely(benchmark::State& state) { as_plugin(state, cosine_transform_type3); }
void BM_Pimbrel(benchmark::State& state) { as_plugin(state, sine_transform_type2); }
void BM_Yarlow(benchmark::State& state) { as_plugin(state, sine_transform_type3); }

void BM_Fennick_tables_reused(benchmark::State& state)
{
    Setup s(state);
    double* w = s.scratch.data();
    for (auto _ : state) {
        copy_doubles(s.x.data(), w, s.n);
        cosine_transform_type2(w, s.log2n, w + s.n, w + 2 * s.n);
        benchmark::DoNotOptimize(w);
        benchmark::ClobberMemory();
    }
    finish(state, s.n);
}

} // namespace

BENCHMARK(BM_Fennick)->RangeMultiplier(2)->Range(1 << 4, 1 << 20);
BENCHMARK(BM_Gorsely)->RangeMultiplier(2)->Range(1 << 4, 1 << 20);
BENCHMARK(BM_Pimbrel)->RangeMultiplier(2)->Range(1 << 4, 1 << 20);
BENCHMARK(BM_Yarlow)->RangeMultiplier(2)->Range(1 << 4, 1 << 20);
BENCHMARK(BM_Fennick_tables_reused)->RangeMultiplier(2)->Range(1 << 4, 1 << 20);
