#!/usr/bin/env bash
# Assembles the Octave package wavetide-<version>.tar.gz in the folder given
# (default build/), in the layout pkg install expects. The plug-ins are those
# of plugins.list, with the sources of their subsystems. The HTML reference
# that make doc writes to outdir/doc goes into the package's doc/ when it is
# there; without it the package is built without, and says so on stderr.
#   package/make_package.sh [outdir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
outdir=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
version=$(sed -nE 's/^project\(wavetide VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
pkg="$stage/wavetide-$version"
mkdir -p "$pkg/inst" "$pkg/src/host"

sed -e "s/@VERSION@/$version/" -e "s/@DATE@/$(date -u +%F)/" "$root/package/DESCRIPTION.in" > "$pkg/DESCRIPTION"
cp "$root"/package/{COPYING,NEWS,CITATION,post_install.m} "$pkg/"
cp "$root/package/Makefile.src" "$pkg/src/Makefile"
cp "$root/plugins.list" "$root/flags.list" "$pkg/src/"
cp "$root"/host/*.cpp "$root"/host/*.hpp "$pkg/src/host/"
mkdir -p "$pkg/src/simd" "$pkg/src/common" && cp "$root"/simd/*.hpp "$pkg/src/simd/" && cp "$root"/common/*.hpp "$pkg/src/common/"
# Not build_plugins (pkg compiles), nor Contents.m, the list MATLAB's ver
# and help read (Octave's help wavetide is the overview).
for f in "$root"/toolbox/*.m; do
  case "$(basename "$f")" in build_plugins.m|Contents.m) ;; *) cp "$f" "$pkg/inst/" ;; esac
done

if [ -f "$outdir/doc/index.html" ]; then
  mkdir -p "$pkg/doc/demo"
  cp "$outdir"/doc/*.html "$pkg/doc/"
  cp "$outdir"/doc/demo/*.png "$pkg/doc/demo/"
else
  echo "make_package: no HTML reference in $outdir/doc (make doc writes it); packaged without" >&2
fi

declare -A title=([wavelet]="Periodic, packet and translation-invariant wavelet transforms"
                  [biorthogonal]="Biorthogonal wavelet transforms"
                  [trig]="Fast trigonometric transforms"
                  [cosine_packets]="Cosine packets"
                  [pyramid]="Median- and average-interpolating pyramids")
listed=$(sed -e 's/#.*//' "$root/plugins.list")
{
  echo "wavetide >> Wavetide"
  echo "Overview"
  echo " wavetide"
  for s in $(dirname $listed | awk '!seen[$0]++'); do
    mkdir -p "$pkg/src/$s"
    cp "$root/$s"/*.cpp "$pkg/src/$s/"
    cp "$root/$s"/*.hpp "$pkg/src/$s/" 2>/dev/null || true
    echo "${title[$s]:-$s}"
    echo " "$(grep "^$s/" <<<"$listed" | xargs -n1 basename)
  done
  echo "Filter banks and other functions"
  echo " "$(cd "$root/toolbox" && ls *.m | sed 's/\.m$//' | grep -vxF -e build_plugins -e Contents -e wavetide \
                                        $(xargs -n1 basename <<<"$listed" | sed 's/^/-e /'))
} > "$pkg/INDEX"

tar czf "$outdir/wavetide-$version.tar.gz" -C "$stage" "wavetide-$version"
echo "$outdir/wavetide-$version.tar.gz"
