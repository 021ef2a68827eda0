// libFuzzer target: any plug-in, called through testhost with the argument
// and output counts, classes, shapes and values that the input bytes spell.
// Built with ASan and UBSan, so an access outside an array, an overflow or a
// leak stops the run. Beyond that, a call must either succeed with an output
// (the same doubles when made again right away, whatever the calls before
// it) or report a message that names the plug-in (or the host's
// out-of-memory message, when the input asks for a failed matrix creation),
// and must leave no matrix behind.
//
// Input layout (bytes past the end read as 0):
//
//   plug-in  nlhs  nrhs  fail | input 0                          | input 1 ...
//   [p]      [o]   [i]   [f]  | [class] [rows] [cols] [values..] |
//
//   p       index into the plug-in names (sorted), modulo their count
//   o, i    nlhs = o % 3, nrhs = i % 6
//   f       f % 8 = k in 1..3: the k-th matrix the call creates fails
//   class   c % 16: 0..6 a testhost::Kind; 7 Double with patterned values
//           (none read); 8 a huge Double vector declared without storage
//           (input 0 only, the data every plug-in must refuse; the next
//           two bytes choose row or column and its length; elsewhere 7);
//           9 a patterned rows x cols x P Double, P from one more byte;
//           10..15 Double with values read from the bytes
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

constexpr int kMaxElements = 2048;
constexpr int kSizes[] = {243, 256, 512, 729, 1024, 2048};
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

// Lengths of huge vectors: 3^19 and 1.5e9, whose 2n and 3n (the pyramids'
// outputs) pass the int range, and lengths beyond it.
constexpr uint64_t kHuge[] = {1162261467u, 1500000000u, 2147483648u, 2147483656u,
                              3486784401u, 4294967296u, 4294967304u, uint64_t{1} << 40};

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

std::string octave_number(double v)
{
    char text[32];
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// A huge Double vector declared without storage, a row or a column: as its
// data, every plug-in must refuse it without reading it. (A matrix with a
// few rows and huge N is no such input: the single-vector plug-ins read
// only its first column.)
Array declared_of(Reader& in, std::string& octave)
{
    const unsigned orientation = in.byte(), which = in.byte();
    const uint64_t n = kHuge[which % (sizeof kHuge / sizeof kHuge[0])];
    const uint64_t M = orientation % 2 ? n : 1, N = orientation % 2 ? 1 : n;
    octave += "zeros (" + std::to_string(M) + ", " + std::to_string(N) + ")";
    return Array::declared(M, N);
}

// The next input, of at most budget elements (taken from it); its Octave
// spelling is appended to octave.
Array input_of(Reader& in, bool first, int& budget, std::string& octave)
{
    static const char* const kOctave[] = {"double (zeros", "complex (zeros", "single (zeros", "int32 (zeros",
                                          "logical (zeros", "char (zeros", "sparse (zeros"};
    const unsigned c = in.byte() % 16;
    if (c == 8 && first) return declared_of(in, octave);
    const Kind kind = c <= static_cast<unsigned>(Kind::Sparse) ? static_cast<Kind>(c) : Kind::Double;
    const bool patterned = c >= 7 && c <= 9;
    const int M = size_of(in.byte());
    int N = size_of(in.byte());
    const int P = c == 9 ? 1 + in.byte() % 4 : 1;
    if (M > 0 && M * N * P > budget) N = budget / (M * P);
    budget -= M * N * P;
    const std::string shape = std::to_string(M) + ", " + std::to_string(N) + (c == 9 ? ", " + std::to_string(P) : "");
    if (kind != Kind::Double) {
        octave += std::string(kOctave[static_cast<int>(kind)]) + " (" + shape + "))";
        return Array::of_kind(M, N, kind);
    }
    std::vector<double> v(static_cast<size_t>(M) * N * P);
    octave += "reshape ([";
    size_t k = 0;
    for (; k < v.size() && in.left && !patterned; ++k) {
        v[k] = value_of(in);
        octave += (k ? " " : "") + octave_number(v[k]);
    }
    if (k < v.size()) {
        const std::string ks = "(" + std::to_string(k) + ":" + std::to_string(v.size() - 1) + ")";
        octave += (k ? ", " : "") + ("sin (0.7 * " + ks + ") + 0.01 * " + ks);
    }
    for (; k < v.size(); ++k) v[k] = std::sin(0.7 * k) + 0.01 * k;
    octave += "], " + shape + ")";
    if (c != 9) return Array::matrix(M, N, v);
    Array a = Array::of_dims({static_cast<size_t>(M), static_cast<size_t>(N), static_cast<size_t>(P)});
    if (!v.empty()) std::memcpy(mxGetPr(a.get()), v.data(), v.size() * sizeof(double));
    return a;
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

// A host allocation beyond 2 GiB fails, as in a host short of memory
// (testhost then reports its out-of-memory message), instead of stopping the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=2048"; }

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
    const int fail_at = in.byte() % 8 % 4;
    std::vector<Array> inputs;
    std::string octave;
    int budget = kMaxElements;
    for (int k = 0; k < nrhs; ++k) inputs.push_back(input_of(in, k == 0, budget, octave += k ? ", " : ""));
    // WAVETIDE_FUZZ_SHOW=1: print each call as Octave would spell it, to reproduce a finding there.
    static const bool show = std::getenv("WAVETIDE_FUZZ_SHOW");
    if (show)
        std::fprintf(stderr, "nargout %d, matrix creation %d fails: %s (%s)\n", nlhs, fail_at, name.c_str(),
                     octave.c_str());
    std::vector<const Array*> args;
    for (const Array& a : inputs) args.push_back(&a);

    const long with_inputs = testhost::live_matrices();
    ++calls[which];
    testhost::fail_allocation(fail_at);
    bool succeeded = false;
    try {
        const std::vector<Array> out = testhost::call_n(name, nlhs, args);
        succeeded = true;
        ++successes[which];
        if (nlhs > 0 && !out[0].get()) {
            std::fprintf(stderr, "%s succeeded without an output\n", name.c_str());
            std::abort();
        }
        // Plug-ins keep no state between calls: the same call again gives the same doubles.
        testhost::fail_allocation(0);
        const std::vector<Array> again = testhost::call_n(name, nlhs, args);
        if (nlhs > 0) {
            const std::vector<double> a = out[0].values(), b = again[0].values();
            if (again[0].dims() != out[0].dims() ||
                (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) != 0)) {
                std::fprintf(stderr, "%s gives another result when called again\n", name.c_str());
                std::abort();
            }
        }
    } catch (const testhost::HostError& e) {
        // A reported failure is a correct outcome when it names the plug-in.
        const std::string m = e.what();
        if (succeeded) {
            std::fprintf(stderr, "%s fails when called again: %s\n", name.c_str(), m.c_str());
            std::abort();
        }
        if (m != testhost::kOutOfMemory && m.rfind(name + " ", 0) != 0 && m.rfind("In " + name + ":", 0) != 0 &&
            m.find(" to " + name + " ") == std::string::npos) {
            std::fprintf(stderr, "%s reported a message that does not name it: %s\n", name.c_str(), m.c_str());
            std::abort();
        }
    }
    testhost::fail_allocation(0);
    // The outputs are released by now; the plug-in must have released its scratch.
    if (testhost::live_matrices() != with_inputs) {
        std::fprintf(stderr, "%s left %ld matrices behind\n", name.c_str(), testhost::live_matrices() - with_inputs);
        std::abort();
    }
    return 0;
}
