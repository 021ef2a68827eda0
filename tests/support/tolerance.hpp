// The one numeric comparison of the C++ tests: relative L2 error against a
// reference, held below one named tolerance.
#pragma once

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

constexpr double kTolerance = 1e-12;

// ||a - b|| / max(||b||, 1): relative for large references, absolute near 0.
inline double relative_error(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size()) return INFINITY;
    double diff = 0.0, norm = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        diff += (a[i] - b[i]) * (a[i] - b[i]);
        norm += b[i] * b[i];
    }
    return std::sqrt(diff) / std::fmax(std::sqrt(norm), 1.0);
}

#define EXPECT_CLOSE(actual, expected) EXPECT_LE(relative_error((actual), (expected)), kTolerance)
