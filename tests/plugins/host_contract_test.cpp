// Every plug-in against the shapes a host can hand it: empty arrays of
// every kind, a scalar, an N-D array, and sizes beyond what the kernels can
// index (declared without storage, so a plug-in that reads them faults).
// The outcome is always a clean error that names the plug-in, or a result;
// run under ASan, any read outside an array is a failure. Then every matrix
// creation of a valid call is made to fail in turn: the host's error must
// come through and the call must leave nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "testhost/testhost.hpp"

using testhost::Array;
using testhost::HostError;
using Vec = std::vector<double>;

namespace {

const Vec kHaar = {0.7071067811865476, 0.7071067811865476};
const Vec kSpline = {-0.125, 0.25, 0.75, 0.25, -0.125};

// A plug-in, the arguments after its data (which always comes first), a
// valid data shape and a data shape too large to index.
struct Plugin {
    const char* name;
    std::vector<Vec> rest;
    size_t rows, cols;           // valid data
    size_t huge_rows, huge_cols; // declared only
};

const size_t k2p32 = size_t{1} << 32, k3p20 = 3486784401u;

const std::vector<Plugin> kPlugins = {
    {"Jostrane", {{1}, kHaar}, 8, 2, k2p32, 1},
    {"Unjostrane", {{1}, kHaar}, 1, 8, 1, k2p32},
    {"Plattigan", {{1}, kHaar}, 8, 8, 65536, 65536},
    {"Unplattigan", {{1}, kHaar}, 8, 8, 65536, 65536},
    {"Tessaroy", {kHaar}, 8, 3, k2p32, 2},
    {"packettable", {{2}, kHaar}, 1, 16, k2p32, 1},
    {"Wendlock", {{1}, kHaar}, 1, 8, k2p32, 1},
    {"Unwendlock", {kHaar}, 8, 3, k2p32, 3},
    {"Morrowel", {{1}, kSpline, kSpline}, 16, 1, k2p32 + 8, 1},
    {"Unmorrowel", {{1}, kSpline, kSpline}, 16, 3, 1, k2p32},
    {"Fennick", {}, 1, 16, 1, k2p32},
    {"Gorsely", {}, 16, 1, k2p32, 1},
    {"Pimbrel", {}, 1, 16, k2p32, 1},
    {"Yarlow", {}, 16, 1, 1, k2p32},
    {"Orrimac", {{2}, {0}}, 1, 16, k2p32, 1},
    {"Unorrimac", {}, 16, 3, k2p32, 3},
    {"Brontal", {{1}, {2}}, 1, 27, 1, k3p20},
    {"Unbrontal", {{1}, {2}}, 1, 54, 1, 2 * k3p20},
    {"Olmister", {{0}}, 1, 7, 1, 1500000000},
    {"Drassock", {{1}, {2}}, 27, 1, k3p20, 1},
    {"Undrassock", {{1}, {2}}, 54, 1, 2 * k3p20, 1},
    {"Ephrandel", {{0}}, 1, 7, 1500000000, 1},
};

// The call's message, "" on success; a message must name the plug-in. With
// fail_at = k, the k-th matrix the call creates fails.
std::string outcome(const Plugin& p, const Array& data, std::vector<size_t>* dims = nullptr, long fail_at = 0)
{
    std::vector<Array> rest;
    for (const Vec& v : p.rest) rest.push_back(Array::column(v));
    std::vector<const Array*> args = {&data};
    for (const Array& a : rest) args.push_back(&a);
    testhost::fail_allocation(fail_at);
    std::string m, id;
    try {
        const Array y = testhost::call(p.name, args);
        if (dims) *dims = y.dims();
    } catch (const HostError& e) {
        m = e.what();
        id = e.identifier;
    }
    testhost::fail_allocation(0);
    const std::string name = p.name;
    if (!m.empty() && m != testhost::kOutOfMemory) {
        EXPECT_TRUE(m.rfind(name + " ", 0) == 0 || m.rfind("In " + name + ":", 0) == 0 ||
                    m.find(" to " + name + " ") != std::string::npos)
            << name << ": " << m;
        EXPECT_EQ(id.rfind("wavetide:" + name + ":", 0), 0u) << name << ": " << m;
    }
    return m;
}

} // namespace

TEST(HostContract, EmptyScalarAndNdShapesGiveACleanErrorOrTheDocumentedResult)
{
    const std::vector<std::vector<size_t>> shapes = {{0, 0}, {0, 1}, {1, 0}, {0, 27}, {0, 2},
                                                     {8, 0}, {1, 1}, {2, 2, 2}};
    const long before = testhost::live_matrices();
    for (const Plugin& p : kPlugins)
        for (const auto& shape : shapes) outcome(p, Array::of_dims(shape));
    EXPECT_EQ(testhost::live_matrices(), before);

    // Where the output has the input's shape, an N-D input keeps its dimensions.
    for (const char* name : {"Jostrane", "Unjostrane", "Morrowel", "Unmorrowel", "Fennick", "Yarlow"}) {
        for (const Plugin& p : kPlugins) {
            if (std::string(p.name) != name) continue;
            std::vector<size_t> dims;
            EXPECT_EQ(outcome(p, Array::of_dims({2, 2, 2}), &dims), "");
            EXPECT_EQ(dims, (std::vector<size_t>{2, 2, 2})) << name;
        }
    }

    // Arrays with columns but no rows hold no samples: the pyramids see
    // length 0, not the column count.
    for (const Plugin& p : kPlugins) {
        const std::string name = p.name;
        const Array zeros_27 = Array::matrix(0, 27), zeros_2 = Array::matrix(0, 2), zeros_7 = Array::matrix(0, 7);
        if (name == "Brontal" || name == "Drassock") {
            EXPECT_NE(outcome(p, zeros_27).find("requires triadic length input"), std::string::npos);
        }
        if (name == "Unbrontal" || name == "Undrassock") {
            EXPECT_NE(outcome(p, zeros_2).find("is of incompatible size"), std::string::npos);
        }
        if (name == "Olmister" || name == "Ephrandel") {
            std::vector<size_t> dims;
            EXPECT_EQ(outcome(p, zeros_7, &dims), "");
            EXPECT_EQ(dims, (std::vector<size_t>{1, 0})) << name;
        }
    }
}

TEST(HostContract, SizesBeyondTheKernelsReachAreRefusedBeforeAnyMatrix)
{
    const long before = testhost::live_matrices();
    for (const Plugin& p : kPlugins) {
        const Array huge = Array::declared(p.huge_rows, p.huge_cols);
        // fail_at = 1: a matrix created before the refusal would fail first.
        EXPECT_EQ(outcome(p, huge, nullptr, 1), std::string(p.name) + " input is too large");
    }
    // A filter too long to index.
    const Plugin& j = kPlugins[0];
    const Array x = Array::matrix(8, 1), L = Array::scalar(1), h = Array::declared(size_t{1} << 31, 1);
    EXPECT_EQ(testhost::error_of(j.name, 1, {&x, &L, &h}), "Jostrane input is too large");
    EXPECT_EQ(testhost::live_matrices(), before + 3);
}

TEST(HostContract, AFailedMatrixCreationIsReportedAndLeavesNothingBehind)
{
    for (const Plugin& p : kPlugins) {
        std::vector<double> values(p.rows * p.cols);
        for (size_t i = 0; i < values.size(); ++i) values[i] = 0.25 * static_cast<double>(i % 7) - 0.5;
        const Array data = Array::matrix(static_cast<int>(p.rows), static_cast<int>(p.cols), values);
        const long before = testhost::live_matrices();
        int failures = 0;
        for (long k = 1;; ++k) {
            const std::string m = outcome(p, data, nullptr, k);
            EXPECT_EQ(testhost::live_matrices(), before) << p.name << " k = " << k;
            if (m.empty()) break;
            EXPECT_EQ(m, testhost::kOutOfMemory) << p.name;
            ++failures;
        }
        EXPECT_GE(failures, 1) << p.name;
    }
}

TEST(HostContract, OutputsOf2To20DoublesComeFromTheHostsZerosWithTheSameValues)
{
#if !defined(HAVE_OCTAVE)
    GTEST_SKIP() << "only plug-ins built against Octave's mex.h take outputs from the host's zeros";
#endif
    // An N-D array for an output of the input's shape, a vector, a pyramid row.
    struct Case {
        const char* name;
        std::vector<size_t> dims;
        std::vector<Vec> rest;
    };
    const std::vector<Case> cases = {{"Jostrane", {1024, 512, 2}, {{1}, kHaar}},
                                     {"Fennick", {1, size_t{1} << 20}, {}},
                                     {"Drassock", {531441, 1}, {{1}, {2}}}};
    const long before = testhost::live_matrices();
    for (const Case& c : cases) {
        Array data = Array::of_dims(c.dims);
        double* x = mxGetPr(data.get());
        for (size_t i = 0; i < mxGetM(data.get()) * mxGetN(data.get()); ++i)
            x[i] = std::sin(0.37 * static_cast<double>(i)) + static_cast<double>(i % 5);
        std::vector<Array> rest;
        std::vector<const Array*> args = {&data};
        for (const Vec& v : c.rest) rest.push_back(Array::column(v));
        for (const Array& a : rest) args.push_back(&a);

        // Refused, the call falls back to an unfilled matrix (NaN bytes here).
        testhost::refuse_host_calls(true);
        const long made = testhost::host_zeros_made();
        const Array unfilled = testhost::call(c.name, args);
        testhost::refuse_host_calls(false);
        EXPECT_EQ(testhost::host_zeros_made(), made) << c.name;
        const Array zeroed = testhost::call(c.name, args);
        EXPECT_EQ(testhost::host_zeros_made(), made + 1) << c.name;
        EXPECT_EQ(zeroed.dims(), unfilled.dims()) << c.name;
        const Vec u = unfilled.values(), z = zeroed.values();
        EXPECT_EQ(0, std::memcmp(u.data(), z.data(), u.size() * sizeof(double))) << c.name;
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}
