// Plattigan, Unplattigan, Tessaroy, packettable, Wendlock and Unwendlock
// through testhost:
// shapes, messages and their order, readings of L, and no matrix left behind.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "testhost/testhost.hpp"
#include "tests/support/tolerance.hpp"

using testhost::Array;
using testhost::error_of;
using testhost::Kind;
using Vec = std::vector<double>;

namespace {

const double r2 = 1.0 / std::sqrt(2.0);

Vec wavy(int count)
{
    Vec v(count);
    for (int i = 0; i < count; ++i) v[i] = std::sin(0.3 + 1.7 * i) + 0.001 * i;
    return v;
}

} // namespace

TEST(PlattiganUnplattigan, ShapesReadingsAndRoundTrips)
{
    const Array h = Array::row({0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604});
    const long before = testhost::live_matrices();
    for (int n : {1, 2, 8, 32}) {
        const Vec v = wavy(n * n);
        const Array X = Array::matrix(n, n, v);
        for (double L : {-HUGE_VAL, -1.0, 0.0, 1.49, 3.0, 1e12}) {
            const Array Ls = Array::scalar(L);
            const Array W = testhost::call("Plattigan", {&X, &Ls, &h});
            EXPECT_EQ(W.rows(), n);
            EXPECT_EQ(W.cols(), n);
            const Array back = testhost::call("Unplattigan", {&W, &Ls, &h});
            EXPECT_CLOSE(back.values(), v) << "n=" << n << " L=" << L;
        }
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(PlattiganUnplattigan, MessagesInOrder)
{
    const Array sq = Array::matrix(4, 4), wide = Array::matrix(4, 8), six = Array::matrix(6, 6),
                tall = Array::matrix(6, 4), empty = Array::matrix(0, 0), L = Array::scalar(0),
                h = Array::row({r2, r2}), nan = Array::scalar(NAN), ints = Array::of_kind(4, 4, Kind::Int32),
                cplx = Array::of_kind(1, 2, Kind::Complex), logical = Array::of_kind(1, 1, Kind::Logical);
    const long before = testhost::live_matrices();
    for (std::string name : {"Plattigan", "Unplattigan"}) {
        EXPECT_EQ(error_of(name, 0, {&sq, &L}), name + " requires 3 input arguments.");
        EXPECT_EQ(error_of(name, 2, {&sq, &L, &h}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 1, {&ints, &L, &h}), name + " requires real full double arguments");
        EXPECT_EQ(error_of(name, 1, {&sq, &logical, &h}), name + " requires real full double arguments");
        EXPECT_EQ(error_of(name, 1, {&sq, &L, &cplx}), name + " requires real full double arguments");
        EXPECT_EQ(error_of(name, 1, {&wide, &L, &h}), name + " requires a square array");
        EXPECT_EQ(error_of(name, 1, {&tall, &L, &h}), name + " requires a square array");
        EXPECT_EQ(error_of(name, 1, {&six, &L, &h}), name + " requires dyadic length sides");
        EXPECT_EQ(error_of(name, 1, {&empty, &L, &h}), name + " requires dyadic length sides");
        EXPECT_EQ(error_of(name, 1, {&sq, &empty, &h}), name + " requires L to be a number, not empty or NaN");
        EXPECT_EQ(error_of(name, 1, {&sq, &nan, &h}), name + " requires L to be a number, not empty or NaN");
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(Tessaroy, ShapesAndMessages)
{
    const Array h = Array::row({r2, r2}), col = Array::column({1, 2, 3, 4}),
                T = Array::matrix(2, 2, {0, 0, 3 * r2, r2}), full = Array::matrix(8, 4, wavy(32)),
                none = Array::matrix(0, 0), deep = Array::matrix(8, 5), six = Array::matrix(6, 2),
                nocols = Array::matrix(4, 0), norows = Array::matrix(0, 3), one_by_two = Array::matrix(1, 2),
                single = Array::of_kind(4, 1, Kind::Single);
    const long before = testhost::live_matrices();
    {
        // a column table of depth 0 comes back as a row
        const Array y = testhost::call("Tessaroy", {&col, &h});
        EXPECT_EQ(y.rows(), 1);
        EXPECT_EQ(y.values(), (Vec{1, 2, 3, 4}));
    }
    // n = 2, D = 1: column 1 = (3, 1)/sqrt 2 rebuilds (1, 2)
    EXPECT_CLOSE(testhost::call("Tessaroy", {&T, &h}).values(), (Vec{1, 2}));
    // D = J is admitted; an empty filter adds nothing to the level-0 column
    const Vec table = full.values();
    EXPECT_EQ(testhost::call("Tessaroy", {&full, &none}).values(), Vec(table.begin(), table.begin() + 8));

    EXPECT_EQ(error_of("Tessaroy", 0, {&col}), "Tessaroy requires two input arguments.");
    EXPECT_EQ(error_of("Tessaroy", 0, {&col, &h}), "Tessaroy requires one output argument.");
    EXPECT_EQ(error_of("Tessaroy", 1, {&single, &h}), "Tessaroy requires real full double arguments");
    EXPECT_EQ(error_of("Tessaroy", 1, {&six, &h}), "Tessaroy requires dyadic length");
    EXPECT_EQ(error_of("Tessaroy", 1, {&norows, &h}), "Tessaroy requires dyadic length");
    EXPECT_EQ(error_of("Tessaroy", 1, {&deep, &h}), "Tessaroy requires D <= log_2(n)");
    EXPECT_EQ(error_of("Tessaroy", 1, {&one_by_two, &h}), "Tessaroy requires D <= log_2(n)");
    EXPECT_EQ(error_of("Tessaroy", 1, {&nocols, &h}), "Tessaroy requires D >= 0");
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(packettable, LayoutReadingsAndTessaroyOfEachLevel)
{
    const Array h = Array::row({0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604});
    const long before = testhost::live_matrices();
    {
        // Haar, x = (1, 2, 3, 4), D = 1.5 read as 2: level 1 = (3, 7 | 1, 1)/sqrt 2;
        // level 2 = (5 | 2 | 0 | 1), block 1 of level 1 putting its lowpass second
        const Array x = Array::row({1, 2, 3, 4}), haar = Array::row({r2, r2}), D = Array::scalar(1.5);
        const Array T = testhost::call("packettable", {&x, &D, &haar});
        EXPECT_EQ(T.rows(), 4);
        EXPECT_EQ(T.cols(), 3);
        EXPECT_CLOSE(T.values(), (Vec{1, 2, 3, 4, 3 * r2, 7 * r2, r2, r2, 5, 2, 0, 1}));
    }
    const Vec v = wavy(16);
    for (const Array& x : {Array::row(v), Array::column(v)}) {
        for (int D = 0; D <= 4; ++D) {
            const Array Ds = Array::scalar(D);
            const Array T = testhost::call("packettable", {&x, &Ds, &h});
            EXPECT_EQ(T.rows(), 16);
            EXPECT_EQ(T.cols(), D + 1);
            const Vec t = T.values();
            for (int d = 0; d <= D; ++d) {  // each level alone is a basis
                Vec one(t.size(), 0.0);
                std::copy(t.begin() + 16 * d, t.begin() + 16 * (d + 1), one.begin() + 16 * d);
                const Array level = Array::matrix(16, D + 1, one);
                EXPECT_CLOSE(testhost::call("Tessaroy", {&level, &h}).values(), v) << "D=" << D << " d=" << d;
            }
        }
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(packettable, MessagesInOrder)
{
    const Array x = Array::row({1, 2, 3, 4}), x6 = Array::row({1, 2, 3, 4, 5, 6}), empty = Array::matrix(0, 0),
                h = Array::row({r2, r2}), D0 = Array::scalar(0), D3 = Array::scalar(3), Dm1 = Array::scalar(-1),
                nan = Array::scalar(NAN), ints = Array::of_kind(1, 4, Kind::Int32), two = Array::matrix(4, 2),
                nocols = Array::matrix(4, 0);
    const long before = testhost::live_matrices();
    const std::string name = "packettable";
    EXPECT_EQ(error_of(name, 1, {&x, &D0}), name + " requires three input arguments.");
    EXPECT_EQ(error_of(name, 2, {&x, &D0, &h}), name + " requires one output argument.");
    EXPECT_EQ(error_of(name, 1, {&x, &D0, &ints}), name + " requires real full double arguments");
    EXPECT_EQ(error_of(name, 1, {&x6, &D0, &h}), name + " requires dyadic length");
    EXPECT_EQ(error_of(name, 1, {&empty, &D0, &h}), name + " requires dyadic length");
    EXPECT_EQ(error_of(name, 1, {&two, &D0, &h}), name + " requires one signal, a row or a column");
    EXPECT_EQ(error_of(name, 1, {&nocols, &D0, &h}), name + " requires one signal, a row or a column");
    EXPECT_EQ(error_of(name, 1, {&x, &nan, &h}), name + " requires D to be a number, not empty or NaN");
    EXPECT_EQ(error_of(name, 1, {&x, &empty, &h}), name + " requires D to be a number, not empty or NaN");
    EXPECT_EQ(error_of(name, 1, {&x, &D3, &h}), name + " requires D <= log_2(n)");
    EXPECT_EQ(error_of(name, 1, {&x, &Dm1, &h}), name + " requires D >= 0");
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(WendlockUnwendlock, ShapesReadingsAndRoundTrips)
{
    const Array h = Array::row({0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604});
    const long before = testhost::live_matrices();
    for (int n : {1, 2, 16, 64}) {
        int J = 0;
        while ((1 << J) < n) ++J;
        const Vec v = wavy(n);
        Vec columns = v;
        columns.resize(n > 1 ? 3 * n : 1, 99.0);  // only the first column is read
        // (a 1 x 3 "matrix" is a row of three, so n = 1 takes no matrix)
        for (const Array& x : {Array::row(v), Array::column(v), Array::matrix(n, n > 1 ? 3 : 1, columns)}) {
            for (int L = 0; L <= J; ++L) {
                const Array Ls = Array::scalar(L - 0.5);  // rounds up to L
                const Array T = testhost::call("Wendlock", {&x, &Ls, &h});
                EXPECT_EQ(T.rows(), n);
                EXPECT_EQ(T.cols(), J - L + 1);
                const Array y = testhost::call("Unwendlock", {&T, &h});
                EXPECT_EQ(y.rows(), 1);
                EXPECT_CLOSE(y.values(), v) << "n=" << n << " L=" << L;
            }
        }
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(WendlockUnwendlock, MessagesInOrder)
{
    const Array x = Array::row({1, 2, 3, 4}), x6 = Array::row({1, 2, 3, 4, 5, 6}), empty = Array::matrix(0, 0),
                h = Array::row({r2, r2}), L0 = Array::scalar(0), L3 = Array::scalar(3), Lm1 = Array::scalar(-1),
                Lneg = Array::scalar(-INFINITY), Lbig = Array::scalar(INFINITY), nan = Array::scalar(NAN),
                chars = Array::of_kind(1, 4, Kind::Char), sparse = Array::of_kind(4, 1, Kind::Sparse),
                T = Array::matrix(4, 3), wide = Array::matrix(4, 4), nocols = Array::matrix(4, 0),
                six = Array::matrix(6, 2), one = Array::matrix(1, 1), one_by_two = Array::matrix(1, 2);
    const long before = testhost::live_matrices();
    EXPECT_EQ(error_of("Wendlock", 2, {&x, &L0}), "Wendlock requires three input arguments.");
    EXPECT_EQ(error_of("Wendlock", 2, {&x, &L0, &h}), "Wendlock requires one output argument.");
    EXPECT_EQ(error_of("Wendlock", 1, {&chars, &L0, &h}), "Wendlock requires real full double arguments");
    EXPECT_EQ(error_of("Wendlock", 1, {&x6, &L0, &h}), "Wendlock requires dyadic length");
    EXPECT_EQ(error_of("Wendlock", 1, {&empty, &L0, &h}), "Wendlock requires dyadic length");
    EXPECT_EQ(error_of("Wendlock", 1, {&nocols, &L0, &h}), "Wendlock requires dyadic length");
    EXPECT_EQ(error_of("Wendlock", 1, {&x, &nan, &h}), "Wendlock requires L to be a number, not empty or NaN");
    EXPECT_EQ(error_of("Wendlock", 1, {&x, &L3, &h}), "Wendlock requires D >= 0");
    EXPECT_EQ(error_of("Wendlock", 1, {&x, &Lbig, &h}), "Wendlock requires D >= 0");
    EXPECT_EQ(error_of("Wendlock", 1, {&x, &Lm1, &h}), "Wendlock requires D < log_2(n)");
    EXPECT_EQ(error_of("Wendlock", 1, {&x, &Lneg, &h}), "Wendlock requires D < log_2(n)");

    EXPECT_EQ(error_of("Unwendlock", 0, {&T}), "Unwendlock requires two input arguments.");
    EXPECT_EQ(error_of("Unwendlock", 0, {&T, &h}), "Unwendlock requires one output argument.");
    EXPECT_EQ(error_of("Unwendlock", 1, {&sparse, &h}), "Unwendlock requires real full double arguments");
    EXPECT_EQ(error_of("Unwendlock", 1, {&six, &h}), "Unwendlock requires dyadic length");
    EXPECT_EQ(error_of("Unwendlock", 1, {&empty, &h}), "Unwendlock requires dyadic length");
    EXPECT_EQ(error_of("Unwendlock", 1, {&wide, &h}), "Unwendlock requires D <= log_2(n)");
    EXPECT_EQ(error_of("Unwendlock", 1, {&one_by_two, &h}), "Unwendlock requires D <= log_2(n)");
    EXPECT_EQ(error_of("Unwendlock", 1, {&nocols, &h}), "Unwendlock requires D >= 0");
    EXPECT_EQ(testhost::call("Unwendlock", {&one, &h}).values(), Vec{0.0});
    EXPECT_EQ(testhost::live_matrices(), before);
}
