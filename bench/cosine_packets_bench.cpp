// Cosine-packet analysis and synthesis (the Orrimac / Unorrimac drivers),
// n = 2^10 .. 2^18, depth D = 3, 6 and full (log2 n). per_column is the time
// of one level: the call divided by D + 1. BM_*Threads: 2^16 and 2^18,
// D = 6, on one thread and on every core, timed by the clock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "cosine_packets/packet_table.hpp"

namespace {

struct Setup {
    int n, D, threads;
    std::vector<double> x, T, scratch;
    // Arguments: n, D (-1: log2 n) and, for the threaded rows, the thread count.
    Setup(const benchmark::State& state)
        : n(static_cast<int>(state.range(0))), D(static_cast<int>(state.range(1))), threads(1)
    {
        if (state.range(2) > 0) threads = static_cast<int>(state.range(2));
        if (D < 0)
            for (D = 0; (1 << D) < n;) ++D;
        x.resize(n);
        T.resize(static_cast<size_t>(n) * (D + 1));
        scratch.resize(
            std::max(cosine_packet_analysis_scratch(n, threads), cosine_packet_synthesis_scratch(n, D, threads)));
        for (int i = 0; i < n; ++i) x[i] = std::sin(0.001 * i * (1.0 + 0.0005 * i)) + ((i * 7919) % 13) * 0.01;
    }
};

void finish(benchmark::State& state, const Setup& s)
{
    state.counters["D"] = s.D;
    // Seconds per level (shown with an SI prefix: 12u is 12 microseconds).
    state.counters["per_column"] = benchmark::Counter(
        static_cast<double>(s.D + 1), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Orrimac(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        cosine_packet_analysis(s.x.data(), s.n, s.D, s.T.data(), s.scratch.data(), s.threads);
        benchmark::DoNotOptimize(s.T.data());
    }
    finish(state, s);
}

void BM_Unorrimac(benchmark::State& state)
{
    Setup s(state);
    cosine_packet_analysis(s.x.data(), s.n, s.D, s.T.data(), s.scratch.data());
    std::vector<double> out(s.n);
    for (auto _ : state) {
        cosine_packet_synthesis(s.T.data(), s.n, s.D, out.data(), s.scratch.data(), s.threads);
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, s);
}

void BM_OrrimacThreads(benchmark::State& state) { BM_Orrimac(state); }
void BM_UnorrimacThreads(benchmark::State& state) { BM_Unorrimac(state); }

// Depth -1 stands for the full depth log2 n.
void sizes(benchmark::internal::Benchmark* b)
{
    for (int D : {3, 6, -1})
        for (int e = 10; e <= 18; e += 2) b->Args({1 << e, D, 0});
}

// One thread, and every core.
void threaded_sizes(benchmark::internal::Benchmark* b)
{
    const long long all = std::max(1u, std::thread::hardware_concurrency());
    for (int e : {16, 18})
        for (long long t : {1LL, all}) b->Args({1 << e, 6, t});
    b->UseRealTime();
}

} // namespace

BENCHMARK(BM_Orrimac)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Unorrimac)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OrrimacThreads)->Apply(threaded_sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnorrimacThreads)->Apply(threaded_sizes)->Unit(benchmark::kMicrosecond);
