#!/bin/sh
# Installs the build into a temporary prefix, then builds and runs the C host
# against it twice: through pkg-config and through find_package(vcd2).
# Usage: install_test.sh BUILD_DIR C_COMPILER [C_FLAGS]
set -eu
build=$1
cc=$2
flags=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
script=$here/../c_api/minimal.vcd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "install: $*" >&2
  exit 1
}
# vcd2build finds the library through its run path.
"$prefix/bin/vcd2build" --version >/dev/null || fail "the installed vcd2build does not run"
libdir=$(dirname "$(find "$prefix" -name libvcd2.so.0)")
readelf -d "$libdir/libvcd2.so.0" | grep -q 'SONAME.*\[libvcd2\.so\.0\]' || fail "no SONAME libvcd2.so.0"
[ -L "$libdir/libvcd2.so" ] || fail "no libvcd2.so link"
# MAKE encodes through the codec module beside the library, which alone
# links the codec libraries.
[ -f "$libdir/vcd2/codecs.so" ] || fail "no codec module vcd2/codecs.so"
readelf -d "$libdir/libvcd2.so.0" | grep -q 'NEEDED.*twolame' && fail "libvcd2.so.0 links twolame"
ffmpeg -v error -f lavfi -i sine=duration=0.2 -ar 44100 -ac 2 "$work/in.wav" ||
  fail "ffmpeg cannot make a WAVE file"
printf 'VERSION 2.0\nMAKE MPA 224S "%s/out.mp2" FROM WAVE "%s/in.wav" ENDMAKE\nENDFILE\n' \
  "$work" "$work" >"$work/make.vcd"
"$prefix/bin/vcd2build" -q --disc "$work/make" "$work/make.vcd" ||
  fail "the installed vcd2build cannot MAKE MPA"
# The public header's version is the SONAME's and the pkg-config file's.
header=$prefix/include/vcd2/vcd2.h
field() { sed -n "s/^#define VCD2_VERSION_$1 \(.*\)\$/\1/p" "$header"; }
major=$(field MAJOR)
version="$major.$(field MINOR).$(field PATCH)"
[ "$(field STRING)" = "\"$version\"" ] || fail "VCD2_VERSION_STRING $(field STRING) is not $version"
readelf -d "$libdir/libvcd2.so.0" | grep -q "SONAME.*\[libvcd2\.so\.$major\]" ||
  fail "the SONAME is not libvcd2.so.$major"
pc_version=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --modversion vcd2)
[ "$pc_version" = "$version" ] || fail "pkg-config says $pc_version, the header $version"
"$prefix/bin/vcd2build" --version | grep -qx "vcd2build $version" ||
  fail "vcd2build --version does not say $version"
for page in man1/vcd2build.1 man5/vcd2-script.5; do
  [ -s "$prefix/share/man/$page" ] || fail "no manual page $page"
done

cd "$work"
PKG_CONFIG_PATH=$libdir/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046,SC2086
"$cc" $flags "$here/host.c" -o pkg-config-host $(pkg-config --cflags --libs vcd2)
LD_LIBRARY_PATH=$libdir ./pkg-config-host "$script" || fail "the pkg-config host failed"

cmake -S "$here/consumer" -B consumer -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_C_FLAGS="$flags" >/dev/null
cmake --build consumer >/dev/null
./consumer/host "$script" || fail "the find_package host failed"
echo "install: vcd2build, libvcd2.so.0, its codec module, manual pages, pkg-config and find_package hosts work"
