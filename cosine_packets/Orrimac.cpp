// Orrimac: cosine-packet table of a signal, levels 0 .. D.
#include "cosine_packets/packet_table.hpp"
#include "host/gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("Orrimac requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Orrimac requires one output argument.");
    require_real_doubles(prhs, 0, 2, "Orrimac requires real full double arguments");
    const int n = vector_length(prhs[0]);
    const int J = dyadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Orrimac requires dyadic length");
    const int D = read_rounded_by_truncation(prhs[1], "Orrimac requires D to be a number, not empty or NaN");
    if (D > J) mexErrMsgTxt("Orrimac requires D <= log_2(n)");
    if (D < -1) mexErrMsgTxt("Orrimac requires D >= -1");

    plhs[0] = new_matrix(n, D + 1);
    mxArray* scratch = new_matrix(n, 7);
    // An M x 0 signal holds nothing to read: its table stays zero.
    if (element_count(prhs[0]) > 0)
        cosine_packet_analysis(data_of(prhs[0]), mxGetPr(plhs[0]), mxGetPr(scratch), D, n);
    mxDestroyArray(scratch);
}
