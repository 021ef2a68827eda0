// Morrowel and Unmorrowel through testhost: counts, argument classes,
// readings of L, shapes, messages in order, and no matrix left behind.
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

const Vec g5{-1.0 / 8, 1.0 / 4, 3.0 / 4, 1.0 / 4, -1.0 / 8}, g3{0.5, 1.0, 0.5};

} // namespace

TEST(Morrowel, ExamplesReadingsOfLAndFilterShapes)
{
    // Filters of any shape are read in storage order.
    const Array x = Array::row({1, 2, 3, 4}), g = Array::column(g5), gd = Array::matrix(3, 1, g3);
    const struct {
        double L;
        Vec w;
    } cases[] = {
        {1, {1.5, 3.5, 0, 2}}, {0.5, {1.5, 3.5, 0, 2}}, {0, {2.5, 2, 0, 2}},      {-0.5, {2.5, 2, 0, 2}},
        {-3, {2.5, 2, 0, 2}},  {-INFINITY, {2.5, 2, 0, 2}}, {2, {1, 2, 3, 4}}, {1e12, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        const Array L = Array::scalar(c.L);
        const Array w = testhost::call("Morrowel", {&x, &L, &g, &gd});
        EXPECT_EQ(w.rows(), 1);
        EXPECT_CLOSE(w.values(), c.w) << "L=" << c.L;
        const Array back = testhost::call("Unmorrowel", {&w, &L, &g, &gd});
        EXPECT_CLOSE(back.values(), x.values()) << "L=" << c.L;
    }
}

TEST(MorrowelUnmorrowel, ShapesRoundTripsAndNoLeaks)
{
    const Array g = Array::row(g5), gd = Array::row(g3), none = Array::matrix(0, 0);
    const long before = testhost::live_matrices();
    for (auto shape : {std::pair{1, 8}, std::pair{8, 1}, std::pair{4, 3}, std::pair{1, 1}}) {
        Vec v(shape.first * shape.second);
        for (size_t i = 0; i < v.size(); ++i) v[i] = std::sin(1.0 + 0.7 * i) + 0.01 * i * i;
        const Array x = Array::matrix(shape.first, shape.second, v);
        for (double L : {-3.0, 0.0, 1.0, 2.0, 5.0}) {
            const Array Ls = Array::scalar(L);
            const Array w = testhost::call("Morrowel", {&x, &Ls, &g, &gd});
            EXPECT_EQ(w.rows(), shape.first);
            EXPECT_EQ(w.cols(), shape.second);
            const Array back = testhost::call("Unmorrowel", {&w, &Ls, &g, &gd});
            EXPECT_CLOSE(back.values(), v) << shape.first << "x" << shape.second << " L=" << L;
        }
        // Empty filters are accepted: no taps, all-zero sums.
        const Array L0 = Array::scalar(0);
        const Array w0 = testhost::call("Morrowel", {&x, &L0, &none, &none});
        const Array b0 = testhost::call("Unmorrowel", {&x, &L0, &none, &none});
        EXPECT_EQ(w0.values(), v.size() == 1 ? v : Vec(v.size(), 0.0));
        EXPECT_EQ(b0.values(), v.size() == 1 ? v : Vec(v.size(), 0.0));
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(MorrowelUnmorrowel, MessagesInOrder)
{
    const Array x = Array::row({1, 2, 3, 4}), x6 = Array::row({1, 2, 3, 4, 5, 6}), L = Array::scalar(0),
                g = Array::row(g5), gd = Array::row(g3), empty = Array::matrix(0, 0), nan = Array::scalar(NAN),
                ints = Array::of_kind(1, 4, Kind::Int32), cplx = Array::of_kind(1, 4, Kind::Complex),
                sparse = Array::of_kind(1, 4, Kind::Sparse), single = Array::of_kind(1, 4, Kind::Single);
    const long before = testhost::live_matrices();
    for (std::string name : {"Morrowel", "Unmorrowel"}) {
        EXPECT_EQ(error_of(name, 0, {&x, &L, &g}), name + " requires four input arguments.");
        EXPECT_EQ(error_of(name, 1, {&x, &L, &g, &gd, &gd}), name + " requires four input arguments.");
        EXPECT_EQ(error_of(name, 0, {&x, &L, &g, &gd}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 2, {&x, &L, &g, &gd}), name + " requires one output argument.");
        for (const Array* bad : {&ints, &cplx, &sparse, &single}) {
            EXPECT_EQ(error_of(name, 1, {bad, &L, &g, &gd}), name + " requires real full double arguments");
            EXPECT_EQ(error_of(name, 1, {&x6, &L, &g, bad}), name + " requires real full double arguments");
        }
        EXPECT_EQ(error_of(name, 1, {&x6, &L, &g, &gd}), name + " requires dyadic length");
        EXPECT_EQ(error_of(name, 1, {&empty, &nan, &g, &gd}), name + " requires dyadic length");
        EXPECT_EQ(error_of(name, 1, {&x, &empty, &g, &gd}), name + " requires L to be a number, not empty or NaN");
        EXPECT_EQ(error_of(name, 1, {&x, &nan, &g, &gd}), name + " requires L to be a number, not empty or NaN");
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}
