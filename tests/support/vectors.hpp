// Test data and checks shared by the kernel tests.
#pragma once

#include <random>
#include <vector>

// t mod n in [0, n), also for negative t: the index rule of periodic signals.
inline int mod(int t, int n) { return ((t % n) + n) % n; }

// n values uniform in [-1, 1), reproducible from the seed.
inline std::vector<double> random_vec(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v) x = u(gen);
    return v;
}

// Output buffer with guard cells on both sides, to catch writes out of range.
struct Guarded {
    static constexpr double kGuard = 12345.0;
    std::vector<double> cells;
    int size;
    explicit Guarded(int n) : cells(n + 4, kGuard), size(n) {}
    double* data() { return cells.data() + 2; }
    std::vector<double> inside() const
    {
        return std::vector<double>(cells.begin() + 2, cells.begin() + 2 + size);
    }
    bool guards_intact() const
    {
        return cells[0] == kGuard && cells[1] == kGuard && cells[size + 2] == kGuard && cells[size + 3] == kGuard;
    }
};
