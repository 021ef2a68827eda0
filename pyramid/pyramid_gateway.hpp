// The shared gateways of the six pyramid plug-ins: each plug-in hands its
// own messages and its kernel to one of these, as the trigonometric
// plug-ins do.
#pragma once

#include "host/gateway.hpp"
#include "pyramid/pyramid.hpp"

struct PyramidMessages {
    Failure input_count;  // "<Name> requires three input arguments."
    Failure output_count; // "<Name> requires one output argument."
    Failure types;        // "<Name> requires real full double arguments"
    Failure level_number; // "<Name> requires L to be a number, not empty or NaN"
    Failure level_min;    // "In <Name>: L must be >= 1"
    Failure too_large;    // "<Name> input is too large"
    Failure length;       // triadic length (forward), size of WC (inverse)
    Failure degree_number; // "<Name> requires D to be a number, not empty or NaN"
    Failure memory;       // "<Name> could not allocate its work memory"
};

// w = Name(x, L, D): x of length n = 3^J read in storage order (its length
// by row_or_column_length), w a 1 x 2n row. threads_from: the least n at
// which the transform on two threads beats one (bench_pyramid_bench's
// BM_*Threads rows); from there on the call asks the host for threads.
void pyramid_forward_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             const PyramidMessages& messages, PyramidForward forward, int threads_from);

// x = Name(WC, L, D): WC of 2n values, x a 1 x n row rebuilt with refine.
void pyramid_inverse_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             const PyramidMessages& messages, refine_step refine, int threads_from);

struct RefineMessages {
    Failure input_count;   // "<Name> requires two input arguments."
    Failure output_count;  // "<Name> requires one output argument."
    Failure types;         // "<Name> requires real full double arguments"
    Failure degree_number; // "<Name> requires D to be a number, not empty or NaN"
    Failure too_large;     // "<Name> input is too large"
    Failure too_few;       // "<Name> requires at least three input values for D = 2"
};

// y = Name(x, D): one refinement step, n values to the 1 x 3n row y.
void pyramid_refine_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                            const RefineMessages& messages, refine_step refine);
