// Triadic pyramids (the Brontal / Unbrontal / Drassock / Undrassock drivers),
// L = 1, D = 2, n = 3^6 .. 3^13; and the block medians of all levels: the
// staged merge sort, the chunk sort with selection that the transforms use,
// and std::nth_element on every block of every level.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "pyramid/average.hpp"
#include "pyramid/block_medians.hpp"
#include "pyramid/median.hpp"
#include "pyramid/pyramid.hpp"
#include "pyramid/staged_merge.hpp"

namespace {

struct Setup {
    int J, n;
    std::vector<double> x, s, w, y;
    // A slow wave with a small pattern and outliers, or Gaussian noise.
    Setup(const benchmark::State& state, bool noise = false)
        : J(static_cast<int>(state.range(0))), n(power_of_three(J)), x(n), s(n), w(2 * n), y(n)
    {
        std::mt19937 gen(1);
        std::normal_distribution<double> g;
        for (int i = 0; i < n; ++i)
            x[i] = noise ? g(gen) : std::sin(0.001 * i) + ((i * 7919) % 13) * 0.01 + (i % 97 == 0 ? 5.0 : 0.0);
    }
};

void finish(benchmark::State& state, int n)
{
    state.SetItemsProcessed(state.iterations() * n);
    // Seconds per sample (shown with an SI prefix: 3.7n is 3.7 ns).
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Brontal(benchmark::State& state)
{
    Setup k(state);
    for (auto _ : state) {
        std::copy(k.x.begin(), k.x.end(), k.s.begin());  // the gateway's scratch copy
        median_pyramid_forward(k.s.data(), k.n, k.J, 1, 2, k.w.data());
        benchmark::DoNotOptimize(k.w.data());
    }
    finish(state, k.n);
}

void BM_Brontal_Noise(benchmark::State& state)
{
    Setup k(state, true);
    for (auto _ : state) {
        median_pyramid_forward(k.x.data(), k.n, k.J, 1, 2, k.w.data());
        benchmark::DoNotOptimize(k.w.data());
    }
    finish(state, k.n);
}

// An inverse transform of the forward transform's row.
void inverse(benchmark::State& state, PyramidForward forward, refine_step refine)
{
    Setup k(state);
    forward(k.x.data(), k.n, k.J, 1, 2, k.w.data());
    for (auto _ : state) {
        pyramid_inverse(k.w.data(), k.n, k.J, 1, 2, refine, k.y.data());
        benchmark::DoNotOptimize(k.y.data());
    }
    finish(state, k.n);
}

void BM_Unbrontal(benchmark::State& state) { inverse(state, median_pyramid_forward, median_refine); }

void BM_Drassock(benchmark::State& state)
{
    Setup k(state);
    for (auto _ : state) {
        average_pyramid_forward(k.x.data(), k.n, k.J, 1, 2, k.w.data());
        benchmark::DoNotOptimize(k.w.data());
    }
    finish(state, k.n);
}

void BM_Undrassock(benchmark::State& state) { inverse(state, average_pyramid_forward, average_refine); }

// Medians of every block of levels J-1 .. 0, as the forward transform finds them.
void BM_AllMedians_MergeStages(benchmark::State& state)
{
    Setup k(state);
    for (auto _ : state) {
        std::copy(k.x.begin(), k.x.end(), k.s.begin());
        for (int j = k.J; j >= 1; --j) {
            merge_sort_stage(k.s.data(), k.J, j);
            const int d = power_of_three(k.J - j + 1);
            block_middles(k.s.data(), k.n, d, k.y.data());
        }
        benchmark::DoNotOptimize(k.y.data());
    }
    finish(state, k.n);
}

// Level pointers into w for the medians of every level, one after the other.
std::vector<double*> levels(Setup& k)
{
    std::vector<double*> level(k.J + 1);
    for (int j = 1, at = 0; j <= k.J; at += k.n / power_of_three(j++)) level[j] = k.w.data() + at;
    return level;
}

// The same medians as the transforms find them now: by selection on AVX-512
// where the brackets are narrow (noise), otherwise by sorted chunks.
void BM_AllMedians_Chunks(benchmark::State& state)
{
    Setup k(state);
    const std::vector<double*> level = levels(k);
    for (auto _ : state) {
        triadic_block_medians(k.x.data(), k.J, k.J, level.data(), k.s.data());
        benchmark::DoNotOptimize(k.w.data());
    }
    finish(state, k.n);
}

void BM_AllMedians_Chunks_Noise(benchmark::State& state)
{
    Setup k(state, true);
    const std::vector<double*> level = levels(k);
    for (auto _ : state) {
        triadic_block_medians(k.x.data(), k.J, k.J, level.data(), k.s.data());
        benchmark::DoNotOptimize(k.w.data());
    }
    finish(state, k.n);
}

// The same medians by selecting within a fresh copy of every block.
void BM_AllMedians_NthElement(benchmark::State& state)
{
    Setup k(state);
    for (auto _ : state) {
        for (int j = k.J; j >= 1; --j) {
            const int d = power_of_three(k.J - j + 1);
            std::copy(k.x.begin(), k.x.end(), k.s.begin());
            for (int b = 0; b < k.n / d; ++b) {
                double* first = k.s.data() + b * d;
                std::nth_element(first, first + (d - 1) / 2, first + d);
                k.y[b] = first[(d - 1) / 2];
            }
        }
        benchmark::DoNotOptimize(k.y.data());
    }
    finish(state, k.n);
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int J = 6; J <= 13; ++J) b->Arg(J);
}

} // namespace

BENCHMARK(BM_Brontal)->Apply(sizes);
BENCHMARK(BM_Brontal_Noise)->Apply(sizes);
BENCHMARK(BM_Unbrontal)->Apply(sizes);
BENCHMARK(BM_Drassock)->Apply(sizes);
BENCHMARK(BM_Undrassock)->Apply(sizes);
BENCHMARK(BM_AllMedians_MergeStages)->Apply(sizes);
BENCHMARK(BM_AllMedians_Chunks)->Apply(sizes);
BENCHMARK(BM_AllMedians_Chunks_Noise)->Apply(sizes);
BENCHMARK(BM_AllMedians_NthElement)->Apply(sizes);
