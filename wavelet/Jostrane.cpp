// Jostrane: forward periodic wavelet transform of a signal, or of each column.
#include "host/gateway.hpp"
#include "wavelet/dyadic.hpp"
#include "wavelet/periodic.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) fail({"wavetide:Jostrane:inputCount", "Jostrane requires three input arguments."});
    if (nlhs != 1) fail({"wavetide:Jostrane:outputCount", "Jostrane requires one output argument."});
    require_real_doubles(prhs, 0, 3,
                         {"wavetide:Jostrane:argumentClass", "Jostrane requires real full double arguments"});
    const Failure too_large = {"wavetide:Jostrane:tooLarge", "Jostrane input is too large"};
    const Signals s = signals_of(prhs[0], too_large);
    const int J = dyadic_exponent(s.length);
    if (J < 0) fail({"wavetide:Jostrane:dyadicLength", "Jostrane requires dyadic length"});
    const int L =
        read_rounded(prhs[1], {"wavetide:Jostrane:notANumber", "Jostrane requires L to be a number, not empty or NaN"});
    const int m = fit_int(element_count(prhs[2]), 2, too_large);

    const int threads = call_threads(2.0 * s.length * s.count * m);
    plhs[0] = new_unfilled_output_like(prhs[0]); // periodic_analysis writes every value
    mxArray* scratch = new_matrix(analysis_scratch_length(s.length, m), threads);
    mxArray* g = new_matrix(m, 1);
    mirror_filter(data_of(prhs[2]), mxGetPr(g), m);
    run_threaded(
        [&] {
            periodic_analysis(data_of(prhs[0]), mxGetPr(plhs[0]), s.length, s.count, J, L, data_of(prhs[2]),
                              mxGetPr(g), m, mxGetPr(scratch), threads);
        },
        {"wavetide:Jostrane:outOfMemory", "Jostrane is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
