#!/usr/bin/env bash
# Builds the consumer program against the installed package with the flags
# of pkg-config alone, runs it on a document and checks the PNG.
#
#   consume-pkgconfig.sh CXX PREFIX LIBDIR WORK DOCUMENT [CXXFLAGS]
set -euo pipefail
cxx=$1 prefix=$2 libdir=$3 work=$4 document=$5 flags=${6:-}
source=$(cd "$(dirname "$0")/consumer" && pwd)

rm -rf "$work"
mkdir -p "$work"
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
pkg-config --exists --print-errors lumoscene
found=$(readlink -f "$(pkg-config --variable=pcfiledir lumoscene)")
[ "$found" = "$(readlink -f "$PKG_CONFIG_PATH")" ] ||
    { echo "FAIL: pkg-config found lumoscene in $found, not under $prefix" >&2; exit 1; }

# As a host's makefile would: compile and link with what pkg-config says.
# shellcheck disable=SC2046,SC2086
"$cxx" -std=c++17 $flags $(pkg-config --cflags lumoscene) -c "$source/render_png.cpp" -o "$work/render_png.o"
# shellcheck disable=SC2046,SC2086
"$cxx" $flags "$work/render_png.o" -o "$work/render_png" $(pkg-config --libs lumoscene)

# A prefix outside the loader's folders is found through LD_LIBRARY_PATH.
LD_LIBRARY_PATH="$(pkg-config --variable=libdir lumoscene)" "$work/render_png" "$document" "$work/out.png"
[ "$(head -c 8 "$work/out.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    { echo "FAIL: $work/out.png is not a PNG file" >&2; exit 1; }
echo "pkg-config consumer built with: $(pkg-config --cflags --libs lumoscene)"
