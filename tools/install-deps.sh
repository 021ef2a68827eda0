#!/usr/bin/env bash
# Installs the Debian packages Wavetide needs to build, test, benchmark and
# run its demo; only the missing ones, with sudo when not root.
set -euo pipefail
packages=(build-essential cmake libgtest-dev libbenchmark-dev octave liboctave-dev gnuplot-nox
          fonts-dejavu-core fonts-freefont-otf python3 python3-numpy python3-scipy python3-pywt libfftw3-dev
          libsleef-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
