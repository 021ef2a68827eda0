/* MATLAB's C Matrix API, as far as Wavetide uses it: the types and the
 * mx* functions of a MEX file built with the interleaved-complex API
 * (`mex -R2018a`). Written from MathWorks' public documentation of the C
 * Matrix API, not copied from MATLAB's own header; it lets the plug-ins and
 * testhost be compiled against MATLAB's types without MATLAB.
 *
 * Where it differs from Octave's mex.h: mwSize and mwIndex are size_t
 * (unsigned), mxArray is an opaque struct rather than void, mxChar is a
 * 16-bit character, and real doubles are read with mxGetDoubles (NULL for
 * anything but a real double array); mxGetPr of a complex array is refused.
 */
#ifndef WAVETIDE_MATLAB_MATRIX_H
#define WAVETIDE_MATLAB_MATRIX_H

#include <stddef.h>

#if defined(__cplusplus)
typedef char16_t mxChar;
#else
#include <stdbool.h>
#include <uchar.h>
typedef char16_t mxChar;
#endif

#define MX_HAS_INTERLEAVED_COMPLEX 1

typedef size_t mwSize;
typedef size_t mwIndex;
typedef ptrdiff_t mwSignedIndex;

typedef struct mxArray_tag mxArray;

typedef double mxDouble;
typedef bool mxLogical;

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS,
    mxSTRUCT_CLASS,
    mxLOGICAL_CLASS,
    mxCHAR_CLASS,
    mxVOID_CLASS,
    mxDOUBLE_CLASS,
    mxSINGLE_CLASS,
    mxINT8_CLASS,
    mxUINT8_CLASS,
    mxINT16_CLASS,
    mxUINT16_CLASS,
    mxINT32_CLASS,
    mxUINT32_CLASS,
    mxINT64_CLASS,
    mxUINT64_CLASS,
    mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX } mxComplexity;

#if defined(__cplusplus)
extern "C" {
#endif

/* Size. */
size_t mxGetM(const mxArray* pm);
size_t mxGetN(const mxArray* pm);
mwSize mxGetNumberOfDimensions(const mxArray* pm);
const mwSize* mxGetDimensions(const mxArray* pm);
/* 0 on success, 1 when the array cannot take those dimensions. */
int mxSetDimensions(mxArray* pm, const mwSize* dims, mwSize ndim);

/* Class. */
bool mxIsDouble(const mxArray* pm);
bool mxIsComplex(const mxArray* pm);
bool mxIsSparse(const mxArray* pm);

/* Data. mxGetDoubles is NULL unless pa is a real double array; mxGetPr
 * (not recommended under this API) is not available for a complex array. */
mxDouble* mxGetDoubles(const mxArray* pa);
mxDouble* mxGetPr(const mxArray* pm);

/* Creation and destruction. */
mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexFlag);
mxArray* mxCreateUninitNumericMatrix(size_t m, size_t n, mxClassID classid, mxComplexity complexFlag);
mxArray* mxCreateString(const char* str);
void mxDestroyArray(mxArray* pm);

#if defined(__cplusplus)
}
#endif

#endif
