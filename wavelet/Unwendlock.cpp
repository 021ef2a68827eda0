// Unwendlock: translation-invariant wavelet synthesis (averages both shift branches).
#include "wavelet/gateway_calls.hpp"
#include "wavelet/invariant.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TableCall t =
        read_table_call(nlhs, nrhs, prhs, 6,
                        {{"wavetide:Unwendlock:inputCount", "Unwendlock requires two input arguments."},
                         {"wavetide:Unwendlock:outputCount", "Unwendlock requires one output argument."},
                         {"wavetide:Unwendlock:argumentClass", "Unwendlock requires real full double arguments"},
                         {"wavetide:Unwendlock:tooLarge", "Unwendlock input is too large"},
                         {"wavetide:Unwendlock:dyadicLength", "Unwendlock requires dyadic length"},
                         {"wavetide:Unwendlock:depthTooLarge", "Unwendlock requires D <= log_2(n)"},
                         {"wavetide:Unwendlock:depthTooSmall", "Unwendlock requires D >= 0"}});

    const int threads = call_threads(static_cast<double>(t.n) * t.taps);
    plhs[0] = new_matrix(1, t.n);
    // The synthesis writes each part of the scratch before reading it.
    mxArray* scratch = new_unfilled_matrix(t.n, static_cast<int>(synthesis_scratch_length(t.n, threads) / t.n));
    mxArray* highpass = new_highpass(prhs[1], t.taps);
    run_threaded(
        [&] {
            translation_invariant_synthesis(data_of(prhs[0]), t.n, t.depth, data_of(prhs[1]), mxGetPr(highpass),
                                            t.taps, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Unwendlock:outOfMemory", "Unwendlock is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
