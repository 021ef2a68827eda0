#!/usr/bin/env bash
# Every source a plug-in is built from (host/ and each subsystem's folder)
# and the C++ tests, read as Microsoft's compiler would read them: clang
# with --target=x86_64-pc-windows-msvc (_MSC_VER set, __GNUC__ not),
# libc++'s headers and mingw-w64's C headers, after prelude.hpp. Two checks
# per source, both failing on anything they find:
#   syntax: -fsyntax-only -Wall -Wextra -pedantic -Wgnu -Werror, so the
#     paths that GCC and Clang do not take hold together as standard C++;
#   extensions: what the preprocessor leaves of our own files (the paths
#     taken without __GNUC__) holds no GNU builtin, attribute, asm or GCC
#     pragma: those belong in the vector layer's guarded backend.
# Microsoft's compiler declares every intrinsic whatever /arch says; clang in
# this setting declares only those of the instruction sets enabled, so the
# check enables AVX-512F (and the sets below it): the vector layer's
# intrinsics backend, which Microsoft's compiler gets, is read whole.
# testhost is left out: its Windows loader includes windows.h, and mingw-w64's
# does not read in this setting (the compiler's intrinsics headers fail).
# Prints what a failing source shows, and one closing line.
#   tools/msvc-syntax/check.sh
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cxx=${CLANGXX:-clang++-14}
octave_include=$(mkoctfile -p OCTINCLUDEDIR) || exit 1
flags=(--target=x86_64-pc-windows-msvc -fms-compatibility-version=19.30 -fno-delayed-template-parsing
       -std=c++17 -nostdinc++ -nostdlibinc
       -isystem /usr/lib/llvm-14/include/c++/v1 -isystem /usr/x86_64-w64-mingw32/include
       -isystem /usr/src/googletest/googletest/include -isystem "$octave_include"
       -mavx512f -mxsave -include "$here/prelude.hpp" -I"$root")
warnings=(-Wall -Wextra -pedantic -Wgnu -Werror)

subsystems=$(sed -nE 's|^([a-z_]+)/.*|\1|p' "$root/plugins.list" | sort -u)
sources=("$root"/host/*.cpp)
for s in $subsystems; do sources+=("$root/$s"/*.cpp); done
sources+=("$root"/tests/kernels/*.cpp "$root"/tests/plugins/*.cpp)

# The GNU constructs in the preprocessed lines of our own files (not the
# prelude's, not the system headers'), as file:line: construct.
gnu_constructs() {
  awk -v root="$root/" -v prelude="$here/prelude.hpp" '
    /^# [0-9]+ "/ { file = $3; gsub(/"/, "", file); line = $2; next }
    {
      ours = index(file, root) == 1 && file != prelude
      layer = index(file, root "simd/") == 1
      rest = $0
      while (ours && match(rest, /__builtin_[A-Za-z0-9_]+|__attribute__|__attribute|__extension__|__typeof__|__typeof|__asm__|__asm|(^|[^A-Za-z0-9_])asm[^A-Za-z0-9_]|__int128|__restrict__|__label__|__PRETTY_FUNCTION__|__sync_[a-z_]+|__atomic_[a-z_]+|^[ \t]*#[ \t]*pragma[ \t]+(GCC|clang).*/)) {
        found = substr(rest, RSTART, RLENGTH)
        # clang defines the intrinsics with an immediate operand
        # (_mm256_cmp_pd ...) as macros over its builtins; Microsoft has functions.
        if (!(layer && found ~ /^__builtin_ia32_/))
          print substr(file, length(root) + 1) ":" line ": " found
        rest = substr(rest, RSTART + RLENGTH)
      }
      line++
    }'
}

# show <what> <text>: a failure's first lines, indented.
show() { echo "  $name: $1"; head -n 20 <<<"$2" | sed 's/^/    | /'; }

passed=0 failed=0
for src in "${sources[@]}"; do
  name=${src#"$root"/} ok=1
  if ! out=$("$cxx" "${flags[@]}" "${warnings[@]}" -fsyntax-only "$src" 2>&1); then
    ok=0; show "syntax" "$out"
  fi
  if ! pre=$("$cxx" "${flags[@]}" -E "$src" 2>&1); then
    ok=0; show "preprocessing" "$pre"
  else
    found=$(gnu_constructs <<<"$pre" | sort -u)
    if [ -n "$found" ]; then ok=0; show "GNU constructs outside the guarded backend" "$found"; fi
  fi
  if [ "$ok" -eq 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "MSVC-style syntax: $passed passed, $failed failed (of ${#sources[@]} sources)"
[ "$failed" -eq 0 ]
