// The one gateway of the four trigonometric plug-ins: each hands it its own
// messages and its transform step.
#pragma once

#include "host/gateway.hpp"

// A transform step from x into y (n = 2^log2n), with the scratch `partner`
// and the table buffer `tables`, as the routines of hartley.hpp and sine.hpp.
using TransformStep = void (*)(const double* x, int log2n, double* y, double* partner, double* tables);

struct TransformMessages {
    Failure input_count;  // "<Name> requires one input argument."
    Failure output_count; // "<Name> requires one output argument."
    Failure types;        // "<Name> requires real full double arguments"
    Failure length;       // "<Name> requires dyadic length"
    Failure too_large;    // "<Name> input is too large"
};

// y = Name(x): x a row, a column or a matrix (only its first column, the
// first n = M doubles, is transformed; n = N for a row). y has the shape of
// x, zero beyond its first n values. A dyadic M x 0 input gives M x 0.
//
// The transform reads the input and writes the output. Scratch, one matrix of
// n + 3n/2 doubles (n + 1 for n = 1):  | partner (n) | tables (3n/2) |
void trig_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const TransformMessages& messages,
                  TransformStep step);
