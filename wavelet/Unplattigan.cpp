// Unplattigan: inverse periodic wavelet transform of a square array.
#include "host/gateway.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) fail({"wavetide:Unplattigan:inputCount", "Unplattigan requires 3 input arguments."});
    if (nlhs != 1) fail({"wavetide:Unplattigan:outputCount", "Unplattigan requires one output argument."});
    require_real_doubles(prhs, 0, 3,
                         {"wavetide:Unplattigan:argumentClass", "Unplattigan requires real full double arguments"});
    if (mxGetM(prhs[0]) != mxGetN(prhs[0]))
        fail({"wavetide:Unplattigan:notSquare", "Unplattigan requires a square array"});
    const long long side = static_cast<long long>(mxGetM(prhs[0]));
    const Failure too_large = {"wavetide:Unplattigan:tooLarge", "Unplattigan input is too large"};
    const int n = fit_int(side, side, too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail({"wavetide:Unplattigan:dyadicLength", "Unplattigan requires dyadic length sides"});
    const int L = read_rounded(
        prhs[1], {"wavetide:Unplattigan:notANumber", "Unplattigan requires L to be a number, not empty or NaN"});
    const int m = fit_int(element_count(prhs[2]), 2, too_large);

    const int threads = call_threads(side < kSquareThreadsFrom ? 0 : static_cast<double>(n) * n * m);
    // square_synthesis writes every value of the output, and of the scratch before reading it.
    plhs[0] = new_unfilled_output(n, n);
    mxArray* scratch = new_unfilled_matrix(n, 8 * threads);
    mxArray* g = new_matrix(m, 1);
    mirror_filter(data_of(prhs[2]), mxGetPr(g), m);
    run_threaded(
        [&] {
            square_synthesis(data_of(prhs[0]), mxGetPr(plhs[0]), n, J, L, data_of(prhs[2]), mxGetPr(g), m,
                             mxGetPr(scratch), threads);
        },
        {"wavetide:Unplattigan:outOfMemory", "Unplattigan is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
