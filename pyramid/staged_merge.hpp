// The staged merge sort that defines the block medians of a triadic pyramid.
//
// One bottom-up sort in place: stage j (j = log3n .. 1) merges runs of
// m = 3^(log3n - j) sorted values three at a time, so that x is sorted within
// blocks of d = 3m afterwards and the median of block b is its middle element
// x[b d + (d - 1)/2], one of the input samples:
//
//   stage log3n:  [ . . . ][ . . . ][ . . . ] ...   blocks of 3 sorted
//   stage log3n-1:[ . . . . . . . . . ] ...         blocks of 9 sorted
//
// The merge's comparisons fix where equal values and NaN land (see
// take_smallest_head); the faster drivers of block_medians.hpp give the same
// doubles and run these stages only for signals holding a NaN.
#pragma once

// 3^k as an exact int (counts and block lengths of the pyramid).
int power_of_three(int k);

// medians[b] = sorted[b d + (d - 1)/2], b = 0 .. n/d - 1: the middles of the
// blocks of d values of sorted (n values).
void block_middles(const double* sorted, int n, int d, double* medians);

// One step of a three-way merge of the sorted runs A, B, C (m values each)
// read from positions ia, ib, ic: returns the smallest head and advances its
// run. Equal heads are taken from the later run first (C, then B, then A);
// a comparison with a NaN also goes to the later run.
double take_smallest_head(const double* A, const double* B, const double* C, int m, int& ia, int& ib, int& ic);

// out[0 .. 3m-1] = the merge of the sorted runs A, B, C (m values each).
void merge_three_runs(const double* A, const double* B, const double* C, int m, double* out);

// Stage j of the sort of x (3^log3n values, in place): runs of 3^(log3n - j)
// sorted values are merged three at a time into sorted blocks of
// 3^(log3n - j + 1). Returns false, with x unchanged, when its run buffers
// cannot be allocated.
bool merge_sort_stage(double* x, int log3n, int j);
