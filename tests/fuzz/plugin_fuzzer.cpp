// libFuzzer target: any plug-in, called through testhost with the argument
// and output counts, classes, shapes and values that the input bytes spell.
// Built with ASan and UBSan, so an access outside an array, an overflow or a
// leak stops the run; beyond that, a call must either succeed with an output
// or report a message through the host, and must leave no matrix behind.
//
// Input layout (bytes past the end read as 0):
//
//   plug-in  nlhs  nrhs | input 0                          | input 1 ...
//   [p]      [o]   [i]  | [class] [rows] [cols] [values..] |
//
//   p       index into the plug-in names (sorted), modulo their count
//   o, i    nlhs = o % 3, nrhs = i % 6
//   class   c % 16: 0..6 a testhost::Kind; 7 Double with patterned values
//           (none read); 8..15 Double with values read from the bytes
//   rows,   one byte each: 0..199 as they stand, 200.. a larger size from
//   cols    kSizes; cols is cut down so that all inputs together hold at
//           most kMaxElements (so that a run explores rather than grinds)
//   values  one tag per element (see value_of); once the bytes run out,
//           element k is sin (0.7 k) + 0.01 k
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "testhost/testhost.hpp"

using testhost::Array;
using testhost::Kind;

namespace {

constexpr int kMaxElements = 4096;
constexpr int kSizes[] = {243, 256, 512, 729, 1024, 2048, 2187, 4096};
constexpr int kSizeCount = sizeof kSizes / sizeof kSizes[0];

// Values on the edges: signed zeros, halves, NaN, infinities, subnormals,
// the ends of the double and int ranges, and levels far beyond any length.
const double kSpecial[] = {
    0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 2.5, -2.5,
    std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
    INFINITY, -INFINITY,
    std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
    std::numeric_limits<double>::epsilon(), 1e300, -1e300, 1e-300,
    2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0, 4294967296.0,
    9007199254740992.0, 9.223372036854775807e18, 1e10, -1e10, 3.0, 4.0};
constexpr unsigned kSpecialCount = sizeof kSpecial / sizeof kSpecial[0];
constexpr unsigned kRawTag = 255; // followed by the 8 bytes of a double

struct Reader {
    const uint8_t* p;
    size_t left;
    uint8_t byte()
    {
        if (!left) return 0;
        --left;
        return *p++;
    }
};

// tag < kSpecialCount: an edge value; kRawTag: 8 raw bytes; otherwise a
// multiple of 1/4 in [-27, 28.5] (levels, degrees, ordinary samples).
double value_of(Reader& in)
{
    const unsigned tag = in.byte();
    if (tag < kSpecialCount) return kSpecial[tag];
    if (tag == kRawTag) {
        uint8_t raw[8];
        for (uint8_t& b : raw) b = in.byte();
        double v;
        std::memcpy(&v, raw, sizeof v);
        return v;
    }
    return (static_cast<int>(tag) - 140) * 0.25;
}

int size_of(uint8_t b) { return b < 200 ? b : kSizes[(b - 200) % kSizeCount]; }

// The next input, of at most budget elements (taken from it); its Octave
// spelling is appended to octave.
Array input_of(Reader& in, int& budget, std::string& octave)
{
    static const char* const kOctave[] = {"zeros", "complex (zeros", "single (zeros", "int32 (zeros",
                                          "logical (zeros", "char (zeros", "sparse (zeros"};
    const unsigned c = in.byte() % 16;
    const Kind kind = c <= static_cast<unsigned>(Kind::Sparse) ? static_cast<Kind>(c) : Kind::Double;
    const bool patterned = c == 7;
    const int M = size_of(in.byte());
    int N = size_of(in.byte());
    if (M > 0 && M * N > budget) N = budget / M;
    budget -= M * N;
    const std::string shape = std::to_string(M) + ", " + std::to_string(N);
    if (kind != Kind::Double) {
        octave += std::string(kOctave[static_cast<int>(kind)]) + " (" + shape + "))";
        return Array::of_kind(M, N, kind);
    }
    std::vector<double> v(static_cast<size_t>(M) * N);
    octave += "reshape ([";
    size_t k = 0;
    for (; k < v.size() && in.left && !patterned; ++k) {
        v[k] = value_of(in);
        char text[32];
        if (std::isnan(v[k]))
            std::snprintf(text, sizeof text, "NaN");
        else if (std::isinf(v[k]))
            std::snprintf(text, sizeof text, "%sInf", v[k] < 0 ? "-" : "");
        else
            std::snprintf(text, sizeof text, "%.17g", v[k]);
        octave += (k ? " " : "") + std::string(text);
    }
    if (k < v.size()) {
        const std::string ks = "(" + std::to_string(k) + ":" + std::to_string(v.size() - 1) + ")";
        octave += (k ? ", " : "") + ("sin (0.7 * " + ks + ") + 0.01 * " + ks);
    }
    for (; k < v.size(); ++k) v[k] = std::sin(0.7 * k) + 0.01 * k;
    octave += "], " + shape + ")";
    return Array::matrix(M, N, v);
}

// The plug-ins of this build, sorted, so that an input names the same one
// whatever order the build lists them in.
const std::vector<std::string>& plugins()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        std::string name;
        for (char ch : std::string(WAVETIDE_PLUGIN_NAMES) + ',') {
            if (ch != ',') {
                name += ch;
            } else if (!name.empty()) {
                v.push_back(name);
                name.clear();
            }
        }
        std::sort(v.begin(), v.end());
        return v;
    }();
    return names;
}

// Calls per plug-in, and how many of them succeeded; printed at exit.
std::vector<long> calls, successes;

void print_counts()
{
    std::fprintf(stderr, "calls per plug-in (succeeded):\n");
    for (size_t i = 0; i < plugins().size(); ++i)
        std::fprintf(stderr, "  %-12s %10ld (%ld)\n", plugins()[i].c_str(), calls[i], successes[i]);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Load every plug-in now, so that its coverage counters count from the start.
    for (const std::string& name : plugins()) testhost::error_of(name, 0, {});
    calls.assign(plugins().size(), 0);
    successes.assign(plugins().size(), 0);
    std::atexit(print_counts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    const size_t which = in.byte() % plugins().size();
    const std::string& name = plugins()[which];
    const int nlhs = in.byte() % 3;
    const int nrhs = in.byte() % 6;
    std::vector<Array> inputs;
    std::string octave;
    int budget = kMaxElements;
    for (int k = 0; k < nrhs; ++k) inputs.push_back(input_of(in, budget, octave += k ? ", " : ""));
    // WAVETIDE_FUZZ_SHOW=1: print each call as Octave would spell it, to reproduce a finding there.
    static const bool show = std::getenv("WAVETIDE_FUZZ_SHOW");
    if (show) std::fprintf(stderr, "nargout %d: %s (%s)\n", nlhs, name.c_str(), octave.c_str());
    std::vector<const Array*> args;
    for (const Array& a : inputs) args.push_back(&a);

    const long with_inputs = testhost::live_matrices();
    ++calls[which];
    try {
        const std::vector<Array> out = testhost::call_n(name, nlhs, args);
        ++successes[which];
        if (nlhs > 0 && !out[0].get()) {
            std::fprintf(stderr, "%s succeeded without an output\n", name.c_str());
            std::abort();
        }
    } catch (const testhost::HostError&) {
        // A reported failure is a correct outcome.
    }
    // The outputs are released by now; the plug-in must have released its scratch.
    if (testhost::live_matrices() != with_inputs) {
        std::fprintf(stderr, "%s left %ld matrices behind\n", name.c_str(), testhost::live_matrices() - with_inputs);
        std::abort();
    }
    return 0;
}
