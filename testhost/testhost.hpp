// testhost: a host of our own for the plug-ins.
//
// It defines the mx*/mex* C functions the gateways call, over plain heap
// arrays, and loads the very build/mex/<Name>.mex files that Octave loads.
// mexErrMsgTxt throws HostError, which unwinds through the plug-in to the
// caller. Every matrix is counted, so a test can check that a call released
// all its scratch.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "mex.h"

namespace testhost {

// The message a plug-in reported through mexErrMsgTxt.
struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Classes of arrays a user can pass; only Double is what gateways may read.
enum class Kind { Double, Complex, Single, Int32, Logical, Char, Sparse };

// An owned host array (move-only); destroyed with the host's own routine.
class Array {
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

    mxArray* get() const { return p_; }
    int rows() const;
    int cols() const;
    std::vector<double> values() const;

private:
    mxArray* p_ = nullptr;
};

// Matrices alive right now (created by a plug-in or a test, not yet destroyed).
long live_matrices();

// Calls plug-in name with the given inputs and nlhs outputs; returns the
// outputs the plug-in placed (one Array per requested output, empty where
// none was placed). Throws HostError with the plug-in's message on failure.
std::vector<Array> call_n(const std::string& name, int nlhs, const std::vector<const Array*>& args);

// The usual case: one output.
Array call(const std::string& name, const std::vector<const Array*>& args);

// The message a call reports, or "" when it succeeds (its outputs released).
std::string error_of(const std::string& name, int nlhs, const std::vector<const Array*>& args);

} // namespace testhost
