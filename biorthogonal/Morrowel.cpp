// Morrowel: forward biorthogonal wavelet transform of a signal, or of each column.
#include "biorthogonal/centred.hpp"
#include "biorthogonal/transform.hpp"
#include "host/gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 4) fail({"wavetide:Morrowel:inputCount", "Morrowel requires four input arguments."});
    if (nlhs != 1) fail({"wavetide:Morrowel:outputCount", "Morrowel requires one output argument."});
    require_real_doubles(prhs, 0, 4,
                         {"wavetide:Morrowel:argumentClass", "Morrowel requires real full double arguments"});
    const Failure too_large = {"wavetide:Morrowel:tooLarge", "Morrowel input is too large"};
    const Signals s = signals_of(prhs[0], too_large);
    const int J = dyadic_exponent(s.length);
    if (J < 0) fail({"wavetide:Morrowel:dyadicLength", "Morrowel requires dyadic length"});
    const int L =
        read_rounded(prhs[1], {"wavetide:Morrowel:notANumber", "Morrowel requires L to be a number, not empty or NaN"});
    const int Lg = fit_int(element_count(prhs[2]), 2, too_large);
    const int Lgd = fit_int(element_count(prhs[3]), 2, too_large);

    const int threads = call_threads(static_cast<double>(s.length) * s.count * (Lg + Lgd));
    plhs[0] = new_matrix_like(prhs[0]);
    mxArray* scratch = new_matrix(s.length / 4 * 3, threads);
    mxArray* highpass = new_matrix(Lgd, 1);
    mirror_filter_centred(data_of(prhs[3]), mxGetPr(highpass), Lgd);
    run_threaded(
        [&] {
            biorthogonal_analysis(data_of(prhs[0]), s.length, s.count, L, J, mxGetPr(highpass), data_of(prhs[2]),
                                  Lg, Lgd, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Morrowel:outOfMemory", "Morrowel is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
