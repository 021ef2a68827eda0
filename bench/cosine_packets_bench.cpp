// Cosine-packet analysis and synthesis (the Orrimac / Unorrimac drivers),
// n = 2^10 .. 2^18, depth D = 3, 6 and full (log2 n). per_column is the time
// of one level: the call divided by D + 1.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "cosine_packets/packet_table.hpp"

namespace {

struct Setup {
    int n, D;
    std::vector<double> x, T, scratch;
    Setup(const benchmark::State& state) : n(static_cast<int>(state.range(0))), D(static_cast<int>(state.range(1)))
    {
        if (D < 0)
            for (D = 0; (1 << D) < n;) ++D;
        x.resize(n);
        T.resize(static_cast<size_t>(n) * (D + 1));
        scratch.resize(9 * static_cast<size_t>(n));
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
        cosine_packet_analysis(s.x.data(), s.n, s.D, s.T.data(), s.scratch.data());
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
        cosine_packet_synthesis(s.T.data(), s.n, s.D, out.data(), s.scratch.data());
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, s);
}

// Depth -1 stands for the full depth log2 n.
void sizes(benchmark::internal::Benchmark* b)
{
    for (int D : {3, 6, -1})
        for (int e = 10; e <= 18; e += 2) b->Args({1 << e, D});
}

} // namespace

BENCHMARK(BM_Orrimac)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Unorrimac)->Apply(sizes)->Unit(benchmark::kMicrosecond);
