// Checks that a fast kernel gives the doubles of its scalar reference on
// every instruction-set path.
#pragma once

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "simd/simd.hpp"
#include "tests/support/vectors.hpp"

// n values, mostly uniform in [-1, 1), with NaN, +-Inf and signed zeros
// sprinkled in.
inline std::vector<double> special_vec(int n, unsigned seed)
{
    std::vector<double> v = random_vec(n, seed);
    const double special[] = {std::nan(""), HUGE_VAL, -HUGE_VAL, 0.0, -0.0};
    std::mt19937 gen(seed + 1);
    for (int i = 0; i < n; ++i)
        if (gen() % 61 == 0) v[i] = special[gen() % 5];
    return v;
}

// The same doubles: equal bits (so the sign of zero counts), or both NaN
// (which NaN an addition of two NaNs passes on is the compiler's choice).
inline bool same_bits(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0 && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
    return true;
}

// Runs check once on each instruction-set path this processor has (check
// takes the path, or nothing). The paths it lacks make the test skipped,
// naming them, unless an available path failed: a failure outranks a skip.
template <class F> void on_every_path(F check)
{
    std::string not_run;
    for (simd::Isa isa : {simd::Isa::scalar, simd::Isa::sse2, simd::Isa::avx2, simd::Isa::avx512}) {
        if (!simd::force_isa(isa)) {
            not_run += (not_run.empty() ? "" : ", ") + std::string(simd::isa_name(isa));
            continue;
        }
        SCOPED_TRACE(std::string("isa=") + simd::isa_name(isa));
        if constexpr (std::is_invocable_v<F, simd::Isa>)
            check(isa);
        else
            check();
    }
    simd::unforce_isa();
    if (!not_run.empty()) GTEST_SKIP() << "paths not run: " << not_run;
}
