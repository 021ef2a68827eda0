#include "chunk_merges.hpp"

#include <algorithm>

namespace {

// out[0 .. 3m-1] = the merge of the sorted runs a, b, c of m values each,
// by value (equal values may come from either run). The lower half is taken
// from the front and the upper half from the back: two independent chains of
// compare-and-advance, branch-free while no run is spent at either end
// (step); then each end finishes on its own (finish). Two merges stepped in
// one loop keep four chains in flight.
struct Merge {
    const double *a, *b, *c;
    double* out;
    int m, half;
    int i = 0, j = 0, k = 0, f = 0;  // front heads, next output
    int I, J, K, t;                  // back tails, next output

    Merge(const double* run, int m_, double* out_)
        : a(run), b(run + m_), c(run + 2 * m_), out(out_), m(m_), half(3 * m_ / 2), I(m_ - 1), J(m_ - 1), K(m_ - 1),
          t(3 * m_ - 1)
    {
    }

    // Steps that cannot spend a run: a step takes one value at each end.
    int safe_steps() const { return std::min({m - i, m - j, m - k, I + 1, J + 1, K + 1, half - f}); }

    void step()
    {
        const double u = a[i], v = b[j], w = c[k];
        const bool b_low = v < u;
        const double low = b_low ? v : u;
        const bool c_low = w < low;
        out[f++] = c_low ? w : low;
        k += c_low;
        j += !c_low & b_low;
        i += !c_low & !b_low;

        const double U = a[I], V = b[J], W = c[K];
        const bool b_high = U < V;
        const double high = b_high ? V : U;
        const bool c_high = high < W;
        out[t--] = c_high ? W : high;
        K -= c_high;
        J -= !c_high & b_high;
        I -= !c_high & !b_high;
    }

    void finish()
    {
        for (int steps = safe_steps(); steps > 0; steps = safe_steps())
            for (; steps > 0; --steps) step();
        for (; f < half; ++f) {
            int* from = nullptr;
            double best = 0;
            if (i < m) best = a[i], from = &i;
            if (j < m && (!from || b[j] < best)) best = b[j], from = &j;
            if (k < m && (!from || c[k] < best)) best = c[k], from = &k;
            out[f] = best;
            ++*from;
        }
        for (; t >= half; --t) {
            int* from = nullptr;
            double best = 0;
            if (I >= 0) best = a[I], from = &I;
            if (J >= 0 && (!from || best < b[J])) best = b[J], from = &J;
            if (K >= 0 && (!from || best < c[K])) best = c[K], from = &K;
            out[t] = best;
            --*from;
        }
    }
};

} // namespace

void three_way_merge_level(const double* src, int m, int groups, double* dst)
{
    const int d = 3 * m;
    // Three merges stepped side by side; any left over on their own.
    int g = 0;
    for (; g + 3 <= groups; g += 3) {
        Merge first(src + g * d, m, dst + g * d);
        Merge second(src + (g + 1) * d, m, dst + (g + 1) * d);
        Merge third(src + (g + 2) * d, m, dst + (g + 2) * d);
        const auto safe = [&] { return std::min({first.safe_steps(), second.safe_steps(), third.safe_steps()}); };
        for (int steps = safe(); steps > 0; steps = safe()) {
            for (; steps > 0; --steps) {
                first.step();
                second.step();
                third.step();
            }
        }
        first.finish();
        second.finish();
        third.finish();
    }
    for (; g < groups; ++g) Merge(src + g * d, m, dst + g * d).finish();
}
