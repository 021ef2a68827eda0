// packettable: periodic wavelet packet table of a signal, levels 0 .. D.
#include "host/gateway.hpp"
#include "wavelet/packets.hpp"
#include "wavelet/periodic.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("packettable requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("packettable requires one output argument.");
    require_real_doubles(prhs, 0, 3, "packettable requires real full double arguments");
    const Signals s = signals_of(prhs[0]);
    const int J = dyadic_exponent(s.length);
    if (J < 0) mexErrMsgTxt("packettable requires dyadic length");
    if (s.count != 1) mexErrMsgTxt("packettable requires one signal, a row or a column");
    const int D = read_rounded(prhs[1], "packettable requires D to be a number, not empty or NaN");
    if (D > J) mexErrMsgTxt("packettable requires D <= log_2(n)");
    if (D < 0) mexErrMsgTxt("packettable requires D >= 0");
    const int m = element_count(prhs[2]);

    plhs[0] = new_matrix(s.length, D + 1);
    mxArray* g = new_matrix(m, 1);
    mirror_filter(data_of(prhs[2]), mxGetPr(g), m);
    packet_analysis(data_of(prhs[0]), s.length, D, data_of(prhs[2]), mxGetPr(g), m, mxGetPr(plhs[0]));
    mxDestroyArray(g);
}
