// The refinement pattern every triadic scheme shares: each value of a level
// predicts the three thirds of its block one level finer.
//
//   level j-1:  [      v0       ][      v1       ][      v2       ] ...
//   level j:    [ w0 | w1 | w2  ][ w3 | w4 | w5  ][ w6 | w7 | w8  ] ...
#pragma once

// Rule giving the three thirds p, q, r of one block from three block values.
using predict_rule = void (*)(double a, double b, double c, double* p, double* q, double* r);

// w[0 .. 3m-1] from v[0 .. m-1]:
//   degree 0: w[3i] = w[3i+1] = w[3i+2] = v[i];
//   degree 2: edge(v0, v1, v2) -> w0 w1 w2; interior(v[i-1], v[i], v[i+1])
//             -> w[3i..3i+2] for 0 < i < m-1; the right end is the edge rule
//             on (-v[m-1], -v[m-2], -v[m-3]) written backwards and negated.
// Any other degree, and degree 2 with m < 3, leave w as it was. The rules are
// template arguments so that each scheme's loop has them inline; interiors,
// when given, writes the interior blocks 1 .. m-2 in place of the loop (the
// same doubles as interior on each triple).
template <predict_rule edge, predict_rule interior, void (*interiors)(const double* v, int m, double* w) = nullptr>
void refine_by_rules(const double* v, int m, int degree, double* w)
{
    if (degree == 0) {
        for (int i = 0; i < m; ++i) w[3 * i] = w[3 * i + 1] = w[3 * i + 2] = v[i];
        return;
    }
    if (degree != 2 || m < 3) return;
    edge(v[0], v[1], v[2], &w[0], &w[1], &w[2]);
    if constexpr (interiors != nullptr)
        interiors(v, m, w);
    else
        for (int i = 1; i <= m - 2; ++i) interior(v[i - 1], v[i], v[i + 1], &w[3 * i], &w[3 * i + 1], &w[3 * i + 2]);
    const int e = 3 * m - 1;
    edge(-v[m - 1], -v[m - 2], -v[m - 3], &w[e], &w[e - 1], &w[e - 2]);
    w[e] = -w[e];
    w[e - 1] = -w[e - 1];
    w[e - 2] = -w[e - 2];
}
