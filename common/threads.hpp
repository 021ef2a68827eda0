// Threads inside one call: a driver hands out independent outputs (columns,
// rows, blocks, shift paths), never parts of one sum, so every output is
// computed by exactly the arithmetic one thread would do and the doubles are
// the same for any thread count and any order of the chunks.
//
//   for_parts(count = 100, threads = 2, f): c = 32 chunks of [0, count)
//   (up to sixteen per thread), chunk k = [k*count/c, (k+1)*count/c),
//   claimed in turn:
//     calling thread (slot 0)   f(0, 0, 3)  f(0, 6, 9)  f(0, 9, 12) ...
//     worker 1       (slot 1)   f(1, 3, 6)  f(1, 12, 15) ...
//
// Chunks are claimed, not dealt: on a machine whose other core is busy the
// calling thread takes the chunks a worker has not begun, so a late worker
// costs its start and join and at most the chunk it holds, not its share.
//
// Every thread is started and joined inside for_parts: none outlives it, so
// a host that forks its workers (Octave's parcellfun) forks a process with
// no thread of ours. Nothing here allocates; a thread the system refuses
// leaves its chunks to the others. An exception on a worker is caught there
// and rethrown on the calling thread once every thread has stopped.
#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace threads {

// The most threads for_parts runs at once; a host offering more gets this many.
constexpr int kMost = 64;

// Work units (outputs times filter taps: multiply-adds) per thread. A
// thread's start and join cost about 30 us where one unit costs 0.2 ns
// (bench_wavelet_bench's BM_SplitThreshold, one level split over one and two
// threads), so two threads break even near 3e5 units; they are used from
// 2 * 2^18 units on, where they save about a fifth of the time.
constexpr double kWorkPerThread = 1 << 18;

// Threads worth using for work units, at most available (and at least 1).
inline int worth(double work, int available)
{
    const double t = work / kWorkPerThread;
    return t < 2 ? 1 : static_cast<int>(std::min<double>(t, std::clamp(available, 1, kMost)));
}

// Runs f(slot, begin, end) over chunks covering [0, count) once each, on
// min(threads, count) threads as drawn above; slot (0 for the calling
// thread) picks a thread's scratch, and a slot's calls never overlap.
// Returns when every chunk has run.
template <class F> void for_parts(int count, int threads, const F& f)
{
    if (count <= 0) return;
    const int t = std::clamp(std::min(threads, count), 1, kMost);
    if (t == 1) {
        f(0, 0, count);
        return;
    }
    const int chunks = std::min(count, 16 * t);
    std::atomic<int> next{0};
    std::exception_ptr errors[kMost];
    const auto run = [&](int slot) noexcept {
        try {
            for (int k = next++; k < chunks; k = next++)
                f(slot, static_cast<int>(static_cast<long long>(k) * count / chunks),
                  static_cast<int>(static_cast<long long>(k + 1) * count / chunks));
        } catch (...) {
            errors[slot] = std::current_exception();
            next = chunks;
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
    for (int p = 1; p < started; ++p) workers[p].join();
    for (int p = 0; p < t; ++p)
        if (errors[p]) std::rethrow_exception(errors[p]);
}

} // namespace threads
