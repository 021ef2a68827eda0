// The six pyramid plug-ins through testhost: messages in order, readings of
// L and D, shapes, levels beyond J, no matrix left behind. Known values and
// the refinements' results are pinned by the Octave tests.
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

Vec signal(int n)
{
    Vec v(n);
    for (int i = 0; i < n; ++i) v[i] = std::sin(0.9 * i) + 0.05 * i + (i % 5 == 2 ? 3.0 : 0.0);
    return v;
}

const char* const kTransforms[][2] = {{"Brontal", "Unbrontal"}, {"Drassock", "Undrassock"}};

} // namespace

TEST(PyramidPlugins, MessagesInTheOrderOfTheChecks)
{
    const Array x9 = Array::row(signal(9)), x8 = Array::row(signal(8)), empty = Array::matrix(0, 0),
                one = Array::scalar(1), half = Array::scalar(0.5), nan = Array::scalar(NAN),
                w18 = Array::row(signal(18)), w16 = Array::row(signal(16)), w1 = Array::row({1}),
                ints = Array::of_kind(1, 9, Kind::Int32), cplx = Array::of_kind(1, 9, Kind::Complex),
                chars = Array::of_kind(1, 1, Kind::Char);
    const long before = testhost::live_matrices();
    for (const auto& pair : kTransforms) {
        const std::string f = pair[0], i = pair[1];
        for (const std::string& name : {f, i}) {
            const Array& good = name == f ? x9 : w18;
            EXPECT_EQ(error_of(name, 1, {&good, &one}), name + " requires three input arguments.");
            EXPECT_EQ(error_of(name, 2, {&good, &one, &one}), name + " requires one output argument.");
            EXPECT_EQ(error_of(name, 1, {&ints, &one, &one}), name + " requires real full double arguments");
            EXPECT_EQ(error_of(name, 1, {&good, &cplx, &one}), name + " requires real full double arguments");
            EXPECT_EQ(error_of(name, 1, {&good, &one, &chars}), name + " requires real full double arguments");
            EXPECT_EQ(error_of(name, 1, {&good, &empty, &one}), name + " requires L to be a number, not empty or NaN");
            EXPECT_EQ(error_of(name, 1, {&good, &nan, &one}), name + " requires L to be a number, not empty or NaN");
            // L is checked before the length.
            EXPECT_EQ(error_of(name, 1, {&x8, &half, &one}), "In " + name + ": L must be >= 1");
            EXPECT_EQ(error_of(name, 1, {&good, &one, &nan}), name + " requires D to be a number, not empty or NaN");
        }
        EXPECT_EQ(error_of(f, 1, {&x8, &one, &one}), f + " requires triadic length input");
        EXPECT_EQ(error_of(f, 1, {&empty, &one, &one}), f + " requires triadic length input");
        for (const Array* bad : {&w16, &w1, &empty})
            EXPECT_EQ(error_of(i, 1, {bad, &one, &one}), "Input WC to " + i + " is of incompatible size");
    }
    for (std::string name : {"Olmister", "Ephrandel"}) {
        EXPECT_EQ(error_of(name, 1, {&x9}), name + " requires two input arguments.");
        EXPECT_EQ(error_of(name, 0, {&x9, &one}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 1, {&ints, &one}), name + " requires real full double arguments");
        EXPECT_EQ(error_of(name, 1, {&x9, &nan}), name + " requires D to be a number, not empty or NaN");
        const Array two = Array::scalar(2.9), x2 = Array::row({1, 2});
        EXPECT_EQ(error_of(name, 1, {&x2, &two}), name + " requires at least three input values for D = 2");
        EXPECT_EQ(error_of(name, 1, {&empty, &two}), name + " requires at least three input values for D = 2");
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(PyramidPlugins, RowsColumnsOddRowsLevelsBeyondJAndDegrees)
{
    const long before = testhost::live_matrices();
    for (const auto& pair : kTransforms) {
        for (int J : {2, 4}) {
            const int n = J == 2 ? 9 : 81;
            const Vec v = signal(n);
            const Array row = Array::row(v), col = Array::column(v);
            for (double L : Vec{1.0, 1.9, static_cast<double>(J), J + 1.0, 1e12, INFINITY}) {
                for (double D : {0.0, 2.9, 1.0, 3.0, -2.0}) {
                    const Array Ls = Array::scalar(L), Ds = Array::scalar(D);
                    const Array w = testhost::call(pair[0], {&row, &Ls, &Ds});
                    const Array wc = testhost::call(pair[0], {&col, &Ls, &Ds});
                    EXPECT_EQ(w.values(), wc.values());
                    EXPECT_EQ(w.rows(), 1);
                    EXPECT_EQ(w.cols(), 2 * n);
                    if (L >= J) {
                        Vec e = v;
                        e.resize(2 * n, 0.0);
                        EXPECT_EQ(w.values(), e) << pair[0] << " L=" << L;
                    }
                    // Positions outside the coarse values and the residuals of levels L+1 .. J are zero.
                    const int Lc = static_cast<int>(std::min<double>(L, J));
                    Vec outside;
                    for (int i = 0; i < 2 * n; ++i) {
                        bool kept = false;
                        for (int j = 0, p = 1; j <= J; ++j, p *= 3)
                            kept = kept || (j == Lc && i < p) || (j > Lc && p <= i && i < 2 * p);
                        if (!kept) outside.push_back(w.values()[i]);
                    }
                    EXPECT_EQ(outside, Vec(outside.size(), 0.0)) << pair[0] << " L=" << L << " D=" << D;
                    // An extra trailing value, and the row as a column, read the same.
                    Vec odd = w.values();
                    odd.push_back(1e300);
                    const Array wo = Array::column(odd);
                    const Array y = testhost::call(pair[1], {&wo, &Ls, &Ds});
                    EXPECT_EQ(y.rows(), 1);
                    EXPECT_CLOSE(y.values(), v) << pair[1] << " L=" << L << " D=" << D;
                }
            }
        }
        // A 3 x 9 matrix is read as its first 9 stored values.
        const Vec m = signal(27);
        const Array mat = Array::matrix(3, 9, m), first = Array::row(Vec(m.begin(), m.begin() + 9)),
                    one = Array::scalar(1), two = Array::scalar(2);
        EXPECT_EQ(testhost::call(pair[0], {&mat, &one, &two}).values(),
                  testhost::call(pair[0], {&first, &one, &two}).values());
    }
    EXPECT_EQ(testhost::live_matrices(), before);
    // Inverses with L = J return the coarse row itself, also for n = 1.
    const Array w2 = Array::row({4.5, 7.0}), L5 = Array::scalar(5), D2 = Array::scalar(2);
    EXPECT_EQ(testhost::call("Unbrontal", {&w2, &L5, &D2}).values(), Vec{4.5});
    EXPECT_EQ(testhost::call("Undrassock", {&w2, &L5, &D2}).values(), Vec{4.5});
}
