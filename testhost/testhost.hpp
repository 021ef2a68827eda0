// testhost: a host of our own for the plug-ins.
//
// It defines the mx*/mex* C functions the gateways call, over plain heap
// arrays, and loads the very build/mex/<Name>.mex files that Octave loads.
// mexErrMsgTxt throws HostError, which unwinds through the plug-in to the
// caller. Every matrix is counted, so a test can check that a call released
// all its scratch.
//
// Arrays hold exactly the elements they are asked for (an empty array has
// no storage to over-read), a test can declare a huge array without storage
// to probe the plug-ins' size checks, and can make the k-th matrix creation
// fail. As in Octave, a failed call frees the matrices it created.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "mex.h"

// On Windows testhost is a DLL (testhost.dll) that exports the mx*/mex*
// functions to the plug-ins and these to the tests; elsewhere it is linked
// into each test.
#if defined(_WIN32) && defined(TESTHOST_EXPORTS)
#define TESTHOST_API __declspec(dllexport)
#elif defined(_WIN32)
#define TESTHOST_API __declspec(dllimport)
#else
#define TESTHOST_API
#endif

namespace testhost {

// The message a plug-in reported through mexErrMsgTxt (identifier empty) or
// mexErrMsgIdAndTxt. On Windows it is thrown in testhost.dll and caught in
// a test executable, each with its own copy of this type's type_info and of
// the C++ runtime; the runtime matches a catch by the type's name there.
struct HostError : std::runtime_error {
    explicit HostError(const std::string& message, std::string id = "")
        : std::runtime_error(message), identifier(std::move(id)) {}
    std::string identifier;
};

// What a matrix creation reports when it fails (fail_allocation, or a size
// beyond the host's memory).
inline constexpr const char* kOutOfMemory = "out of memory or dimension too large";

// Classes of arrays a user can pass; only Double is what gateways may read.
enum class Kind { Double, Complex, Single, Int32, Logical, Char, Sparse };

// An owned host array (move-only); destroyed with the host's own routine.
class TESTHOST_API Array {
public:
    Array() = default;
    explicit Array(mxArray* p) : p_(p) {}
    Array(Array&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Array& operator=(Array&& o) noexcept;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array();

    // M x N doubles, column-major values (zero-filled when values is empty).
    static Array matrix(int M, int N, const std::vector<double>& values = {});
    static Array row(const std::vector<double>& values);
    static Array column(const std::vector<double>& values);
    static Array scalar(double v);
    // An M x N array of another class, holding that class's element size.
    static Array of_kind(int M, int N, Kind kind);
    // An array of the given dimensions (two or more), zero-filled.
    static Array of_dims(const std::vector<size_t>& dims);
    // An M x N double array that claims its size but has no storage at all:
    // any read of its data is a fault. For sizes no test could allocate.
    static Array declared(size_t M, size_t N);

    mxArray* get() const { return p_; }
    int rows() const;
    int cols() const;
    std::vector<size_t> dims() const;
    std::vector<double> values() const;

private:
    mxArray* p_ = nullptr;
};

// Matrices alive right now (created by a plug-in or a test, not yet destroyed).
TESTHOST_API long live_matrices();

// Makes the k-th matrix creation from now (k >= 1) fail as the host does,
// with HostError(kOutOfMemory); k = 0 turns the failure off.
TESTHOST_API void fail_allocation(long k);

// Arrays made so far by builtin ('zeros', dims) through mexCallMATLAB, the
// one host function the plug-ins call (for their largest outputs).
TESTHOST_API long host_zeros_made();

// With refuse set, mexCallMATLAB fails (returns nonzero) until turned off.
TESTHOST_API void refuse_host_calls(bool refuse);

// The count of computational threads the host reports to a plug-in that
// asks (1 until set), and how many times a plug-in has asked so far.
TESTHOST_API void set_host_threads(int count);
TESTHOST_API long thread_queries_made();

// Calls plug-in name with the given inputs and nlhs outputs; returns the
// outputs the plug-in placed (one Array per requested output, empty where
// none was placed). Throws HostError with the plug-in's message on failure.
TESTHOST_API std::vector<Array> call_n(const std::string& name, int nlhs, const std::vector<const Array*>& args);

// The usual case: one output.
TESTHOST_API Array call(const std::string& name, const std::vector<const Array*>& args);

// The message a call reports, or "" when it succeeds (its outputs released).
TESTHOST_API std::string error_of(const std::string& name, int nlhs, const std::vector<const Array*>& args);

} // namespace testhost
