#include "testhost.hpp"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

namespace {

// A host matrix: its class, its dimensions (at least two; M is the first,
// N the product of the others) and storage of exactly M*N elements of that
// class, or no storage at all for a declared array.
struct HostArray {
    testhost::Kind kind;
    std::vector<mwSize> dims;
    size_t M, N;
    unsigned char* bytes;
};

long live = 0;
long fail_countdown = 0;
long host_zeros_count = 0;
bool refusing_calls = false;
int thread_count = 1;
long thread_queries = 0;

// Matrices created during the plug-in call in progress; a failed call frees
// them, as Octave does.
std::vector<HostArray*> in_call;
bool calling = false;

size_t element_size(testhost::Kind k)
{
    switch (k) {
    case testhost::Kind::Double: return sizeof(double);
    case testhost::Kind::Complex: return sizeof(double); // real part only
    case testhost::Kind::Single: return 4;
    case testhost::Kind::Int32: return 4;
    case testhost::Kind::Logical: return 1;
    case testhost::Kind::Char: return 2;
    case testhost::Kind::Sparse: return sizeof(double); // nonzeros only: none
    }
    return 1;
}

void set_dims(HostArray* a, const std::vector<mwSize>& dims)
{
    a->dims = dims;
    a->M = static_cast<size_t>(dims[0]);
    a->N = 1;
    for (size_t i = 1; i < dims.size(); ++i) a->N *= static_cast<size_t>(dims[i]);
}

HostArray* create(const std::vector<mwSize>& dims, testhost::Kind kind, bool storage = true)
{
    if (fail_countdown > 0 && --fail_countdown == 0) throw testhost::HostError(testhost::kOutOfMemory);
    auto* a = new HostArray{kind, {}, 0, 0, nullptr};
    set_dims(a, dims);
    const size_t count = kind == testhost::Kind::Sparse ? 0 : a->M * a->N;
    const size_t size = element_size(kind);
    if (storage) {
        // Exactly count elements, zero-filled as the host contract promises.
        if (a->M != 0 && count / a->M != a->N) a->bytes = nullptr;
        else if (count > SIZE_MAX / size) a->bytes = nullptr;
        else a->bytes = static_cast<unsigned char*>(std::calloc(count, size));
        if (!a->bytes && count > 0) {
            delete a;
            throw testhost::HostError(testhost::kOutOfMemory);
        }
    }
    ++live;
    if (calling) in_call.push_back(a);
    return a;
}

HostArray* create(size_t M, size_t N, testhost::Kind kind)
{
    return create({static_cast<mwSize>(M), static_cast<mwSize>(N)}, kind);
}

// A HostArray stands behind every handle: mxArray is void in Octave's mex.h
// and an incomplete struct in MATLAB's, so the conversions are reinterpret
// casts, which both admit.
HostArray* of(const mxArray* p) { return reinterpret_cast<HostArray*>(const_cast<mxArray*>(p)); }
mxArray* handle(HostArray* a) { return reinterpret_cast<mxArray*>(a); }

using Entry = void (*)(int, mxArray**, int, const mxArray**);

// The mexFunction of the plug-in file at path, loaded as the host loads it:
// LoadLibrary on Windows, dlopen elsewhere.
Entry load_mex_function(const std::string& path)
{
#if defined(_WIN32)
    HMODULE lib = LoadLibraryA(path.c_str());
    if (!lib) throw std::runtime_error("cannot load " + path + ": error " + std::to_string(GetLastError()));
    auto fn = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(lib, "mexFunction")));
#else
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) throw std::runtime_error("cannot load " + path + ": " + dlerror());
    auto fn = reinterpret_cast<Entry>(dlsym(lib, "mexFunction"));
#endif
    if (!fn) throw std::runtime_error(path + " exports no mexFunction");
    return fn;
}

Entry entry_of(const std::string& name)
{
    static std::map<std::string, Entry> loaded;
    auto it = loaded.find(name);
    if (it != loaded.end()) return it->second;
    const char* dir = std::getenv("WAVETIDE_MEX_DIR");
    const Entry fn = load_mex_function(std::string(dir ? dir : WAVETIDE_MEX_DIR) + "/" + name + WAVETIDE_MEX_SUFFIX);
    loaded[name] = fn;
    return fn;
}

} // namespace

// The host interface, as the mex.h of the build declares it: Octave's, or
// MATLAB's interleaved-complex API (testhost/matlab_api).
extern "C" {

TESTHOST_API size_t mxGetM(const mxArray* p) { return of(p)->M; }
TESTHOST_API size_t mxGetN(const mxArray* p) { return of(p)->N; }
TESTHOST_API double* mxGetPr(const mxArray* p)
{
#if MX_HAS_INTERLEAVED_COMPLEX
    // MATLAB's interleaved-complex API has no mxGetPr of a complex array:
    // a gateway that tries it must fail its test, not read the real parts.
    if (of(p)->kind == testhost::Kind::Complex)
        throw std::logic_error("mxGetPr of a complex array, which the interleaved-complex API refuses");
#endif
    return reinterpret_cast<double*>(of(p)->bytes);
}
#if MX_HAS_INTERLEAVED_COMPLEX
// Null for anything but a real double array, full or sparse.
TESTHOST_API double* mxGetDoubles(const mxArray* p)
{
    const auto k = of(p)->kind;
    const bool real_double = k == testhost::Kind::Double || k == testhost::Kind::Sparse;
    return real_double ? reinterpret_cast<double*>(of(p)->bytes) : nullptr;
}
#endif
TESTHOST_API bool mxIsDouble(const mxArray* p)
{
    const auto k = of(p)->kind;
    return k == testhost::Kind::Double || k == testhost::Kind::Complex || k == testhost::Kind::Sparse;
}
TESTHOST_API bool mxIsComplex(const mxArray* p) { return of(p)->kind == testhost::Kind::Complex; }
TESTHOST_API bool mxIsSparse(const mxArray* p) { return of(p)->kind == testhost::Kind::Sparse; }
TESTHOST_API mwSize mxGetNumberOfDimensions(const mxArray* p) { return static_cast<mwSize>(of(p)->dims.size()); }
TESTHOST_API const mwSize* mxGetDimensions(const mxArray* p) { return of(p)->dims.data(); }

TESTHOST_API int mxSetDimensions(mxArray* p, const mwSize* dims, mwSize ndims)
{
    HostArray* a = of(p);
    std::vector<mwSize> d(dims, dims + ndims);
    while (d.size() < 2) d.push_back(1);
    mwSize count = 1;
    for (mwSize v : d) count *= v;
    if (count != static_cast<mwSize>(a->M * a->N)) return 1; // storage is fixed
    set_dims(a, d);
    return 0;
}

TESTHOST_API mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag)
{
    return handle(create(m, n, flag == mxREAL ? testhost::Kind::Double : testhost::Kind::Complex));
}

// Unfilled storage holds NaN in every byte pattern the tests can see, so
// that a value a plug-in forgets to write shows.
TESTHOST_API mxArray* mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID classid, mxComplexity flag)
{
    if (classid != mxDOUBLE_CLASS) throw std::logic_error("testhost creates unfilled doubles only");
    HostArray* a = create(m, n, flag == mxREAL ? testhost::Kind::Double : testhost::Kind::Complex);
    if (a->bytes) std::memset(a->bytes, 0xff, a->M * a->N * element_size(a->kind));
    return handle(a);
}

TESTHOST_API mxArray* mxCreateString(const char* s)
{
    const size_t length = std::strlen(s);
    HostArray* a = create(1, length, testhost::Kind::Char);
    for (size_t i = 0; i < length; ++i) reinterpret_cast<mxChar*>(a->bytes)[i] = static_cast<unsigned char>(s[i]);
    return handle(a);
}

// The functions the plug-ins call through the host: builtin ('zeros', dims),
// and for the count of threads builtin ('nproc', 'overridable') (Octave's
// API) or maxNumCompThreads (MATLAB's), which answer set_host_threads.
// With refuse_host_calls each fails, as a call that errs under a trap.
TESTHOST_API int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name)
{
    const auto is_string = [&](int i, const std::string& text) {
        const HostArray* f = i < nrhs ? of(prhs[i]) : nullptr;
        if (!f || f->kind != testhost::Kind::Char || f->M * f->N != text.size()) return false;
        const auto* c = reinterpret_cast<const mxChar*>(f->bytes);
        return std::string(c, c + text.size()) == text;
    };
    const bool zeros = nrhs == 2 && is_string(0, "zeros") && of(prhs[1])->kind == testhost::Kind::Double;
    const bool nproc = nrhs == 2 && is_string(0, "nproc") && is_string(1, "overridable");
    const bool threads = std::string(name) == "maxNumCompThreads" && nrhs == 0;
    if (nlhs != 1 || !(threads || (std::string(name) == "builtin" && (zeros || nproc))))
        throw std::logic_error("testhost runs builtin ('zeros', dims), builtin ('nproc', 'overridable') and "
                               "maxNumCompThreads only");
    if (refusing_calls) return 1;
    if (!zeros) {
        ++thread_queries;
        HostArray* count = create(1, 1, testhost::Kind::Double);
        *reinterpret_cast<double*>(count->bytes) = thread_count;
        plhs[0] = handle(count);
        return 0;
    }
    const HostArray* size = of(prhs[1]);
    std::vector<mwSize> dims;
    for (size_t i = 0; i < size->M * size->N; ++i) dims.push_back(static_cast<mwSize>(mxGetPr(prhs[1])[i]));
    plhs[0] = handle(create(dims, testhost::Kind::Double));
    ++host_zeros_count;
    return 0;
}

TESTHOST_API void mxDestroyArray(mxArray* p)
{
    if (!p) return;
    HostArray* a = of(p);
    in_call.erase(std::remove(in_call.begin(), in_call.end(), a), in_call.end());
    std::free(a->bytes);
    delete a;
    --live;
}

TESTHOST_API void mexErrMsgTxt(const char* s) { throw testhost::HostError(s); }

TESTHOST_API void mexErrMsgIdAndTxt(const char* id, const char* fmt, ...)
{
    char text[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    throw testhost::HostError(text, id);
}

} // extern "C"

namespace testhost {

Array& Array::operator=(Array&& o) noexcept
{
    if (this != &o) {
        mxDestroyArray(p_);
        p_ = o.p_;
        o.p_ = nullptr;
    }
    return *this;
}

Array::~Array() { mxDestroyArray(p_); }

Array Array::matrix(int M, int N, const std::vector<double>& values)
{
    Array a(mxCreateDoubleMatrix(M, N, mxREAL));
    if (!values.empty()) {
        if (values.size() != static_cast<size_t>(M) * N) throw std::invalid_argument("matrix: wrong value count");
        std::memcpy(mxGetPr(a.get()), values.data(), values.size() * sizeof(double));
    }
    return a;
}

Array Array::row(const std::vector<double>& values) { return matrix(1, static_cast<int>(values.size()), values); }
Array Array::column(const std::vector<double>& values) { return matrix(static_cast<int>(values.size()), 1, values); }
Array Array::scalar(double v) { return matrix(1, 1, {v}); }
Array Array::of_kind(int M, int N, Kind kind) { return Array(handle(create(M, N, kind))); }
Array Array::of_dims(const std::vector<size_t>& dims)
{
    return Array(handle(create(std::vector<mwSize>(dims.begin(), dims.end()), Kind::Double)));
}
Array Array::declared(size_t M, size_t N)
{
    return Array(handle(create({static_cast<mwSize>(M), static_cast<mwSize>(N)}, Kind::Double, false)));
}

int Array::rows() const { return static_cast<int>(mxGetM(p_)); }
int Array::cols() const { return static_cast<int>(mxGetN(p_)); }
std::vector<size_t> Array::dims() const { return std::vector<size_t>(of(p_)->dims.begin(), of(p_)->dims.end()); }

std::vector<double> Array::values() const
{
    const double* d = mxGetPr(p_);
    return std::vector<double>(d, d + static_cast<size_t>(rows()) * cols());
}

long live_matrices() { return live; }

void fail_allocation(long k) { fail_countdown = k; }

long host_zeros_made() { return host_zeros_count; }

void refuse_host_calls(bool refuse) { refusing_calls = refuse; }

void set_host_threads(int count) { thread_count = count; }

long thread_queries_made() { return thread_queries; }

std::vector<Array> call_n(const std::string& name, int nlhs, const std::vector<const Array*>& args)
{
    Entry fn = entry_of(name);
    std::vector<const mxArray*> prhs;
    for (const Array* a : args) prhs.push_back(a->get());
    // The host always offers at least one output slot, as Octave does.
    std::vector<mxArray*> plhs(nlhs > 0 ? nlhs : 1, nullptr);
    in_call.clear();
    calling = true;
    try {
        fn(nlhs, plhs.data(), static_cast<int>(prhs.size()), prhs.data());
    } catch (...) {
        // The host frees what the failed call created, outputs included.
        calling = false;
        while (!in_call.empty()) mxDestroyArray(handle(in_call.back()));
        throw;
    }
    calling = false;
    in_call.clear();
    std::vector<Array> out;
    for (int i = 0; i < nlhs; ++i) out.emplace_back(plhs[i]);
    if (nlhs == 0 && plhs[0]) mxDestroyArray(plhs[0]);
    return out;
}

Array call(const std::string& name, const std::vector<const Array*>& args)
{
    auto out = call_n(name, 1, args);
    return std::move(out[0]);
}

std::string error_of(const std::string& name, int nlhs, const std::vector<const Array*>& args)
{
    try {
        call_n(name, nlhs, args);
    } catch (const HostError& e) {
        return e.what();
    }
    return "";
}

} // namespace testhost
