// Threads inside one call: a driver hands out independent outputs (columns,
// rows, blocks, shift paths), never parts of one sum, so every output is
// computed by exactly the arithmetic one thread would do and the doubles are
// the same for any thread count.
//
//   for_parts(count = 10, threads = 3, f):
//     calling thread  f(0, 0, 3)     part p = [p*count/t, (p+1)*count/t)
//     worker 1        f(1, 3, 6)
//     worker 2        f(2, 6, 10)
//
// Every thread is started and joined inside for_parts: none outlives it, so
// a host that forks its workers (Octave's parcellfun) forks a process with
// no thread of ours. Nothing here allocates; a thread the system refuses is
// run on the calling thread instead. An exception on a worker is caught
// there and rethrown on the calling thread once every part has finished.
#pragma once

#include <algorithm>
#include <exception>
#include <thread>

namespace threads {

// The most threads for_parts runs at once; a host offering more gets this many.
constexpr int kMost = 64;

// Work units (outputs times filter taps: multiply-adds) per thread. A
// thread's start and join cost about 30 us where one unit costs 0.2 ns
// (bench_wavelet_bench's BM_SplitThreshold, one level split over one and two
// threads), so two threads break even near 3e5 units; they are used from
// 2 * 2^18 units on, where they gain about a quarter of a core's time.
constexpr double kWorkPerThread = 1 << 18;

// Threads worth using for work units, at most available (and at least 1).
inline int worth(double work, int available)
{
    const double t = work / kWorkPerThread;
    return t < 2 ? 1 : static_cast<int>(std::min<double>(t, std::clamp(available, 1, kMost)));
}

// Runs f(part, begin, end) over [0, count) in min(threads, count) contiguous
// parts as drawn above, part 0 on the calling thread; part numbers pick a
// thread's scratch. Returns when every part has run.
template <class F> void for_parts(int count, int threads, const F& f)
{
    const int t = std::clamp(std::min(threads, count), 1, kMost);
    if (count <= 0) return;
    if (t == 1) {
        f(0, 0, count);
        return;
    }
    std::exception_ptr errors[kMost];
    const auto run = [&](int p) noexcept {
        try {
            f(p, static_cast<int>(static_cast<long long>(p) * count / t),
              static_cast<int>(static_cast<long long>(p + 1) * count / t));
        } catch (...) {
            errors[p] = std::current_exception();
        }
    };
    std::thread workers[kMost];
    int started = 1;
    for (; started < t; ++started) {
        try {
            workers[started] = std::thread(run, started);
        } catch (...) {
            break;
        }
    }
    run(0);
    for (int p = started; p < t; ++p) run(p);
    for (int p = 1; p < started; ++p) workers[p].join();
    for (int p = 0; p < t; ++p)
        if (errors[p]) std::rethrow_exception(errors[p]);
}

} // namespace threads
