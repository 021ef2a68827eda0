#!/usr/bin/env bash
# Installs the Debian packages Wavetide needs to build, test, benchmark and
# run its demo; only the missing ones. Needs root, or sudo for another user.
# With --platforms, also what the foreign-platform checks need (cross
# compilers, emulators, headers); with --doc, the browser that make check-doc
# opens the HTML reference in. With a log file as argument, apt's output
# goes there.
#   tools/install-deps.sh [--platforms] [--doc] [log-file]
set -euo pipefail
packages=(build-essential cmake libgtest-dev libbenchmark-dev octave liboctave-dev gnuplot-nox
          fonts-dejavu-core fonts-freefont-otf python3 python3-numpy python3-scipy python3-pywt libfftw3-dev
          clang-14 libclang-rt-14-dev valgrind texinfo octave-parallel)
while [ "${1:-}" = "--platforms" ] || [ "${1:-}" = "--doc" ]; do
  case $1 in
    --platforms)
      packages+=(# make check-arm64: the cross compiler, qemu-user, GoogleTest's sources
                 g++-aarch64-linux-gnu qemu-user googletest
                 # make check-msvc-syntax: libc++'s headers, mingw-w64's C headers
                 libc++-14-dev mingw-w64-x86-64-dev
                 # make check-windows: the MinGW-w64 cross compiler, Wine to run its tests
                 g++-mingw-w64-x86-64-posix wine64) ;;
    --doc)
      packages+=(chromium) ;;  # make check-doc opens the reference in it
  esac
  shift
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo > /dev/null; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run 'apt-get install ${missing[*]}' as root (no sudo here)" >&2
    exit 1
  fi
  sudo=(sudo)
fi
log=${1:-/dev/stdout}
echo "installing: ${missing[*]}"
{ "${sudo[@]}" apt-get update -qq &&
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
} >> "$log" 2>&1 || { echo "install-deps: apt-get failed (output in $log)" >&2; exit 1; }
