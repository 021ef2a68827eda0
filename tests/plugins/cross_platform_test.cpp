// Every plug-in on fixed inputs, each result reduced to a digest of its
// bits and compared with the digests of the Linux x86-64 build recorded in
// cross_platform_results.inc. The Windows and ARM64 runs execute this very
// test, so a result that differs in one double on another platform, C
// library or compiler fails here. The inputs come from an integer
// generator, not from the C library, so they are the same bits everywhere.
//
// After a deliberate change of results, print the new table with
//   WAVETIDE_PRINT_RESULTS=1 build/tests/plugin_cross_platform_test
// and replace the .inc file's lines with it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testhost/testhost.hpp"

using testhost::Array;
using Vec = std::vector<double>;

namespace {

struct Recorded {
    const char* name;
    std::uint64_t digest;
};

const Recorded kRecorded[] = {
#include "tests/plugins/cross_platform_results.inc"
};

// n doubles in [-scale, scale) from a 64-bit linear congruential generator:
// 53 bits of each state give the fraction exactly.
Vec values(int n, std::uint64_t seed, double scale = 1.0)
{
    std::uint64_t s = seed * 0x9E3779B97F4A7C15ULL + 1;
    Vec v(n);
    for (double& x : v) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        x = scale * (static_cast<double>(s >> 11) * 0x1p-52 - 1.0);
    }
    return v;
}

// FNV-1a over the bits of every double, with one NaN for all NaNs (which
// NaN an operation passes on is the processor's choice) and the dimensions
// first.
std::uint64_t digest_of(const Array& a)
{
    std::uint64_t h = 0xcbf29ce484222325ULL;
    const auto mix = [&h](std::uint64_t word) {
        for (int b = 0; b < 8; ++b) {
            h ^= (word >> (8 * b)) & 0xff;
            h *= 0x100000001b3ULL;
        }
    };
    for (size_t d : a.dims()) mix(d);
    for (double v : a.values()) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        mix(v != v ? 0x7ff8000000000000ULL : bits);
    }
    return h;
}

struct Case {
    std::string name;
    std::string plugin;
    std::vector<Array> args;
};

Array matrix(int M, int N, std::uint64_t seed, double scale = 1.0)
{
    return Array::matrix(M, N, values(M * N, seed, scale));
}

template <class... A> void add(std::vector<Case>& c, const std::string& name, const std::string& plugin, A... args)
{
    Case k{name, plugin, {}};
    (k.args.push_back(std::move(args)), ...);
    c.push_back(std::move(k));
}

std::vector<Case> cases()
{
    std::vector<Case> c;
    const auto s = [](double v) { return Array::scalar(v); };
    // Wavelets: taps of no particular filter (the kernels use them as given).
    for (int taps : {2, 8, 20}) {
        const std::string t = " taps=" + std::to_string(taps);
        const auto h = [taps] { return matrix(1, taps, 100 + taps); };
        add(c, "Jostrane 1x4096 L=2" + t, "Jostrane", matrix(1, 4096, 1), s(2), h());
        add(c, "Jostrane 256x3 L=0" + t, "Jostrane", matrix(256, 3, 2, 1e3), s(0), h());
        add(c, "Unjostrane 1x4096 L=3" + t, "Unjostrane", matrix(1, 4096, 3), s(3), h());
        add(c, "Plattigan 128x128 L=1" + t, "Plattigan", matrix(128, 128, 4), s(1), h());
        add(c, "Unplattigan 128x128 L=2" + t, "Unplattigan", matrix(128, 128, 5), s(2), h());
        add(c, "Tessaroy 1024x6" + t, "Tessaroy", matrix(1024, 6, 6), h());
        add(c, "Wendlock 1x2048 L=4" + t, "Wendlock", matrix(1, 2048, 7), s(4), h());
        add(c, "Unwendlock 1024x7" + t, "Unwendlock", matrix(1024, 7, 8), h());
        add(c, "packettable 1x2048 D=5" + t, "packettable", matrix(1, 2048, 9), s(5), h());
    }
    for (int taps : {3, 5, 7, 9}) {
        const std::string t = " taps=" + std::to_string(taps) + "/" + std::to_string(12 - taps);
        for (const char* plugin : {"Morrowel", "Unmorrowel"})
            add(c, plugin + std::string(" 1x2048 L=2") + t, plugin, matrix(1, 2048, 10), s(2),
                matrix(1, taps, 200 + taps), matrix(1, 12 - taps, 300 + taps));
    }
    for (const char* plugin : {"Fennick", "Gorsely", "Pimbrel", "Yarlow"})
        for (int n : {1, 2, 8, 1024, 65536})
            add(c, plugin + std::string(" 1x") + std::to_string(n), plugin, matrix(1, n, 11 + n, 1e-3));
    for (int D : {0, 3, 6}) {
        add(c, "Orrimac 1x4096 D=" + std::to_string(D), "Orrimac", matrix(1, 4096, 12), s(D), s(0));
        add(c, "Unorrimac 4096x" + std::to_string(D + 1), "Unorrimac", matrix(4096, D + 1, 13));
    }
    for (int D : {0, 2}) {
        const std::string d = " D=" + std::to_string(D);
        for (const char* plugin : {"Brontal", "Drassock"})
            add(c, plugin + std::string(" 1x19683 L=1") + d, plugin, matrix(1, 19683, 14), s(1), s(D));
        for (const char* plugin : {"Unbrontal", "Undrassock"})
            add(c, plugin + std::string(" 1x4374 L=2") + d, plugin, matrix(1, 4374, 15), s(2), s(D));
        for (const char* plugin : {"Olmister", "Ephrandel"})
            add(c, plugin + std::string(" 1x243") + d, plugin, matrix(1, 243, 16), s(D));
    }
    return c;
}

} // namespace

TEST(CrossPlatform, ResultsAreTheDoublesOfTheLinuxX86Build)
{
    const std::vector<Case> all = cases();
    std::vector<std::uint64_t> digests;
    for (const Case& k : all) {
        std::vector<const Array*> args;
        for (const Array& a : k.args) args.push_back(&a);
        digests.push_back(digest_of(testhost::call(k.plugin, args)));
    }
    if (std::getenv("WAVETIDE_PRINT_RESULTS")) {
        for (size_t i = 0; i < all.size(); ++i)
            std::printf("    {\"%s\", 0x%016llxULL},\n", all[i].name.c_str(), static_cast<unsigned long long>(digests[i]));
        GTEST_SKIP() << "printed the table instead of comparing with it";
    }
    ASSERT_EQ(all.size(), sizeof kRecorded / sizeof kRecorded[0]) << "the recorded table lists other cases";
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].name, kRecorded[i].name);
        EXPECT_EQ(digests[i], kRecorded[i].digest) << all[i].name << ": not the doubles of the Linux x86-64 build";
    }
}
