// Unorrimac: the signal a cosine-packet table represents, summed over its columns.
#include "cosine_packets/packet_table.hpp"
#include "host/gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs < 1) mexErrMsgTxt("Unorrimac requires one input argument.");
    if (nlhs != 1) mexErrMsgTxt("Unorrimac requires one output argument.");
    require_real_doubles(prhs, 0, 1, "Unorrimac requires real full double arguments");
    const int n = static_cast<int>(mxGetM(prhs[0]));
    const int J = dyadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Unorrimac requires dyadic length");
    const long long D = static_cast<long long>(mxGetN(prhs[0])) - 1;
    if (D > J) mexErrMsgTxt("Unorrimac requires D <= log_2(n)");
    if (D < 0) mexErrMsgTxt("Unorrimac requires D >= 0");

    plhs[0] = new_matrix(1, n);
    mxArray* scratch = new_matrix(n, 9);
    cosine_packet_synthesis(data_of(prhs[0]), n, static_cast<int>(D), mxGetPr(plhs[0]), mxGetPr(scratch));
    mxDestroyArray(scratch);
}
