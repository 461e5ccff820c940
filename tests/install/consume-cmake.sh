#!/usr/bin/env bash
# Builds the consumer project against the installed package with
# find_package(lumoscene CONFIG), runs it on a document and checks the PNG.
#
#   consume-cmake.sh CMAKE CXX PREFIX WORK DOCUMENT [CXXFLAGS]
set -euo pipefail
cmake=$1 cxx=$2 prefix=$3 work=$4 document=$5 flags=${6:-}
source=$(cd "$(dirname "$0")/consumer" && pwd)

rm -rf "$work"
mkdir -p "$work"
# Only the installed tree may provide the package.
"$cmake" -S "$source" -B "$work/build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF > "$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; exit 1; }
found=$(sed -n 's/^-- lumoscene package: //p' "$work/configure.log")
case "$(readlink -f "$found")" in
"$(readlink -f "$prefix")"/*) ;;
*) echo "FAIL: find_package found lumoscene in '$found', not under $prefix" >&2; exit 1 ;;
esac
"$cmake" --build "$work/build" > "$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }

"$work/build/render_png" "$document" "$work/out.png"
# A PNG file starts with its eight-byte signature.
[ "$(head -c 8 "$work/out.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    { echo "FAIL: $work/out.png is not a PNG file" >&2; exit 1; }
echo "find_package consumer built against $found and rendered $work/out.png"
