// The plug-ins that split their work over threads, through testhost: the
// host's count is asked only for work large enough, a failed question means
// one thread, the doubles do not depend on the count, and a forked child
// (as Octave's parcellfun forks its workers) calls them again.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testhost/testhost.hpp"
#include "tests/support/simd_paths.hpp"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/wait.h>
#include <unistd.h>
#endif

using testhost::Array;
using Vec = std::vector<double>;

namespace {

Vec wavy(int count)
{
    Vec v(count);
    for (int i = 0; i < count; ++i) v[i] = std::sin(0.3 + 1.7 * i) + 0.001 * i;
    return v;
}

struct Call {
    std::string name;
    const Array* x;
    const Array* L; // null for Unwendlock, Tessaroy and Unorrimac
    bool biorthogonal = false;
    bool pyramid = false; // (x, L, D = 2)
};

// A large and a small call of each threaded plug-in, 8-tap filter (the
// pyramids: L = 1, D = 2).
struct Inputs {
    Array h = Array::column(wavy(8));
    Array zero = Array::scalar(0), seven = Array::scalar(7);
    Array square = Array::matrix(1024, 1024, wavy(1024 * 1024)), small_square = Array::matrix(512, 512, wavy(512 * 512));
    Array columns = Array::matrix(1024, 64, wavy(1024 * 64)), small_columns = Array::matrix(16, 4, wavy(64));
    Array signal = Array::row(wavy(1 << 16)), small_signal = Array::row(wavy(256));
    Array table = Array::matrix(1 << 16, 10, wavy(10 << 16)), small_table = Array::matrix(256, 2, wavy(512));
    Array g = Array::column(wavy(5)), gd = Array::column(wavy(9));
    Array one = Array::scalar(1), two = Array::scalar(2);
    // The pyramids ask from 3^9 (Brontal), 3^10 (Unbrontal), 3^12 (Drassock), 3^13 (Undrassock).
    Array triadic = Array::row(wavy(177147)), small_triadic = Array::row(wavy(243));
    Array triadic_row = Array::row(wavy(2 * 177147)), small_triadic_row = Array::row(wavy(486));
    Array long_triadic = Array::row(wavy(531441)), longest_triadic_row = Array::row(wavy(2 * 1594323));

    std::vector<Call> large() const
    {
        return {{"Plattigan", &square, &zero},    {"Unplattigan", &square, &zero}, {"Jostrane", &columns, &zero},
                {"Unjostrane", &columns, &zero},  {"Wendlock", &signal, &seven},  {"Unwendlock", &table, nullptr},
                {"packettable", &signal, &seven}, {"Tessaroy", &table, nullptr},   {"Morrowel", &columns, &zero, true},
                {"Unmorrowel", &columns, &zero, true}, {"Orrimac", &signal, &seven},
                {"Unorrimac", &table, nullptr}, {"Brontal", &triadic, &one, false, true},
                {"Drassock", &long_triadic, &one, false, true}, {"Unbrontal", &triadic_row, &one, false, true},
                {"Undrassock", &longest_triadic_row, &one, false, true}};
    }
    std::vector<Call> small() const
    {
        return {{"Plattigan", &small_square, &zero},   {"Unplattigan", &small_square, &zero},
                {"Jostrane", &small_columns, &zero},   {"Unjostrane", &small_columns, &zero},
                {"Wendlock", &small_signal, &seven},   {"Unwendlock", &small_table, nullptr},
                {"packettable", &small_signal, &seven}, {"Tessaroy", &small_table, nullptr},
                {"Morrowel", &small_columns, &zero, true}, {"Unmorrowel", &small_columns, &zero, true},
                {"Orrimac", &small_signal, &seven},         {"Unorrimac", &small_table, nullptr},
                {"Brontal", &small_triadic, &one, false, true}, {"Drassock", &small_triadic, &one, false, true},
                {"Unbrontal", &small_triadic_row, &one, false, true},
                {"Undrassock", &small_triadic_row, &one, false, true}};
    }
    Vec run(const Call& c) const
    {
        if (c.biorthogonal) return testhost::call(c.name, {c.x, c.L, &g, &gd}).values();
        if (c.pyramid) return testhost::call(c.name, {c.x, c.L, &two}).values();
        return (c.L ? testhost::call(c.name, {c.x, c.L, &h}) : testhost::call(c.name, {c.x, &h})).values();
    }
};

} // namespace

TEST(Threads, HostCountAskedForLargeCallsOnlyAndResultsUnchanged)
{
    const Inputs in;
    const long before = testhost::live_matrices();
    for (const Call& c : in.small()) {
        testhost::set_host_threads(7);
        const long asked = testhost::thread_queries_made();
        in.run(c);
        EXPECT_EQ(testhost::thread_queries_made(), asked) << c.name << " asked for a small call";
    }
    for (const Call& c : in.large()) {
        testhost::set_host_threads(1);
        const Vec one = in.run(c);
        for (int t : {2, 7, 1000}) {
            testhost::set_host_threads(t);
            const long asked = testhost::thread_queries_made();
            EXPECT_TRUE(same_bits(in.run(c), one)) << c.name << " on " << t;
            EXPECT_EQ(testhost::thread_queries_made(), asked + 1) << c.name;
        }
        testhost::refuse_host_calls(true);
        EXPECT_TRUE(same_bits(in.run(c), one)) << c.name << " after a refused question";
        testhost::refuse_host_calls(false);
    }
    testhost::set_host_threads(1);
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(Threads, ForkedChildCallsAgain)
{
#if defined(__unix__) || defined(__APPLE__)
    const Inputs in;
    testhost::set_host_threads(2);
    for (const Call& c : in.large()) {
        const Vec parent = in.run(c);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) _exit(same_bits(in.run(c), parent) ? 0 : 1);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name << " in the forked child";
    }
    testhost::set_host_threads(1);
#else
    GTEST_SKIP() << "no fork on this platform";
#endif
}
