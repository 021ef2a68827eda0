#include "simd/simd.hpp" // the vector layer lives in simd/
