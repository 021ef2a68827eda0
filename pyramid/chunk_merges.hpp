// One level of the bottom-up sort of a chunk: every group of three sorted
// runs of m values in src merged into one sorted run of 3m in dst,
//
//   src: [ run 0 | run 1 | run 2 ][ run 3 | run 4 | run 5 ] ...   groups
//   dst: [     sorted 3m         ][     sorted 3m         ] ...
//
// by value: without NaN the result is the sorted block whichever run an
// equal value comes from.
#pragma once

// The merges of one level by three-way merges (chunk_merges.cpp), groups
// groups of three runs of m.
void three_way_merge_level(const double* src, int m, int groups, double* dst);

// One level's merges on the path of Widest: three-way merges unless the
// path has its own (simd/avx512_bitonic_merge.hpp). pairs has room for 2m
// values per group, the scratch of merges taken two runs at a time.
template <class Widest> struct chunk_level_merge {
    static void run(const double* src, int m, int groups, double* dst, [[maybe_unused]] double* pairs)
    {
        three_way_merge_level(src, m, groups, dst);
    }
};
