/* MATLAB's MEX API, as far as Wavetide uses it: the entry point and the
 * mex* functions, over the C Matrix API of matrix.h beside it. Written from
 * MathWorks' public documentation of the MEX API, not copied from MATLAB's
 * own header.
 */
#ifndef WAVETIDE_MATLAB_MEX_H
#define WAVETIDE_MATLAB_MEX_H

#include "matrix.h"

#if defined(__cplusplus)
extern "C" {
#endif

/* The entry point the host calls: nlhs outputs requested into plhs, nrhs
 * inputs in prhs. */
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

/* Report an error and abandon the MEX file's call; neither returns. */
void mexErrMsgTxt(const char* errormsg);
void mexErrMsgIdAndTxt(const char* errorid, const char* errormsg, ...);

/* Call a function of the host; 0 on success. */
int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* functionName);

#if defined(__cplusplus)
}
#endif

#endif
