#!/usr/bin/env bash
# Fused multiply-adds in the x86 plug-ins of a build: only the eight-lane
# division by sqrt2 (trig/sqrt2_division.hpp, in the AVX-512 split radix and
# division) may use them, as it is proven to round as a division does.
# Anything else fused rounds once where the formula rounds twice: GCC pairs
# a*b - c*d and a*b + c*d of neighbouring outputs into vfmaddsub in code
# built for FMA or AVX-512, whatever -ffp-contract says.
#   tools/check_fused.sh <build-dir>
set -euo pipefail
objdump -d --no-show-raw-insn -C "${1:-build}"/mex/*.mex | awk '
  /^[0-9a-f]+ </ { fn = $0 }
  /\tv?f(n)?m(add|sub)/ {
    if (fn ~ /run_avx512/ && fn ~ /split_radix|division/) allowed++
    else { other++; if (other <= 10) print "fused elsewhere: " fn }
  }
  END {
    print "x86 plug-ins: " allowed + 0 " fused multiply-adds in the sqrt2 division, " other + 0 " elsewhere"
    exit other > 0
  }'
