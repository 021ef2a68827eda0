// Median-interpolation kernels of the triadic pyramid.
//
// Level j holds 3^j values; value i of level j-1 owns values 3i, 3i+1, 3i+2
// of level j (its left, middle and right third):
//
//   level j-1:  [      v0       ][      v1       ][      v2       ] ...
//   level j:    [ w0 | w1 | w2  ][ w3 | w4 | w5  ][ w6 | w7 | w8  ] ...
//
// The block medians of a pyramid are defined by one bottom-up sort in place:
// the stage for level j merges runs of 3^(J-j) sorted values three at a
// time, so x is sorted within blocks of 3^(J-j+1) afterwards and the median
// of block k is its middle element, one of the input samples. The drivers
// find the same doubles faster (block_medians.hpp) and run these stages only
// for signals holding a NaN.
//
// Predictions are a + (b - a) F(t) with t = (c - b)/(b - a) for the block
// values a, b, c of three neighbouring blocks; block values closer than
// 1e-14 count as equal.
#pragma once

// 3^k as an exact int (counts and block lengths of the pyramid).
int power_of_three(int k);

// dst[k] = src[offset + k], k = 0 .. n-1
void copy_doubles_from(const double* src, int offset, double* dst, int n);

// dst[dst_offset + k dst_step] = src[src_offset + k src_step], k = 0 .. n-1
void copy_doubles_strided(const double* src, int src_offset, int src_step, double* dst, int dst_offset,
                          int dst_step, int n);

// One step of a three-way merge of the sorted runs A, B, C (m values each)
// read from positions ia, ib, ic: returns the smallest head and advances its
// run. Equal heads are taken from the later run first (C, then B, then A);
// a comparison with a NaN also goes to the later run.
double take_smallest_head(const double* A, const double* B, const double* C, int& ia, int& ib, int& ic, int m);

// out[offset .. offset+3m-1] = the merge of the sorted runs A, B, C.
void merge_three_runs(const double* A, const double* B, const double* C, double* out, int offset, int m);

// Stage for level j of the sort of x (3^J values): runs of 3^(J-j) sorted
// values are merged three at a time into sorted blocks of 3^(J-j+1). Returns
// false, with x unchanged, when its run buffers cannot be allocated.
bool merge_sort_stage(double* x, int j, int J);

// The five factor functions F(t): medians over one third of the quadratic
// whose block medians over [0,1], [1,2], [2,3] are 0, 1, 1 + t.
double interior_left_factor(double t);
double interior_middle_factor(double t);
double edge_first_factor(double t);
double edge_middle_factor(double t);
double edge_last_factor(double t);

// Thirds p, q, r of block k from the medians a, b, c of blocks k-1, k, k+1.
void median_predict_interior(double a, double b, double c, double* p, double* q, double* r);

// Thirds p, q, r of block 0 from the medians a, b, c of blocks 0, 1, 2.
void median_predict_edge(double a, double b, double c, double* p, double* q, double* r);

// Rule giving the three thirds of one block from three block values.
using predict_rule = void (*)(double a, double b, double c, double* p, double* q, double* r);

// The refinement pattern shared by every scheme: w[0 .. 3m-1] from v[0 .. m-1].
//   degree 0: w[3i] = w[3i+1] = w[3i+2] = v[i];
//   degree 2: edge(v0, v1, v2) -> w0 w1 w2; interior(v[i-1], v[i], v[i+1])
//             -> w[3i..3i+2] for 0 < i < m-1; the right end is the edge rule
//             on (-v[m-1], -v[m-2], -v[m-3]) written backwards and negated.
// Any other degree, and degree 2 with m < 3, leave w as it was. The rules are
// template arguments so that each scheme's loop has them inline; interiors,
// when given, writes the interior blocks 1 .. m-2 in place of the loop (the
// same doubles as interior on each triple).
template <predict_rule edge, predict_rule interior, void (*interiors)(const double* v, double* w, int m) = nullptr>
void refine_by_rules(const double* v, double* w, int m, int degree)
{
    if (degree == 0) {
        for (int i = 0; i < m; ++i) w[3 * i] = w[3 * i + 1] = w[3 * i + 2] = v[i];
        return;
    }
    if (degree != 2 || m < 3) return;
    edge(v[0], v[1], v[2], &w[0], &w[1], &w[2]);
    if constexpr (interiors != nullptr)
        interiors(v, w, m);
    else
        for (int i = 1; i <= m - 2; ++i) interior(v[i - 1], v[i], v[i + 1], &w[3 * i], &w[3 * i + 1], &w[3 * i + 2]);
    const int e = 3 * m - 1;
    edge(-v[m - 1], -v[m - 2], -v[m - 3], &w[e], &w[e - 1], &w[e - 2]);
    w[e] = -w[e];
    w[e - 1] = -w[e - 1];
    w[e - 2] = -w[e - 2];
}

// refine_by_rules with the median predictors.
void median_refine(const double* v, double* w, int m, int degree);
