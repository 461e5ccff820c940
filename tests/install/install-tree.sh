#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and checks the tree a host
# developer gets: every expected file, none of the private headers, a
# versioned library with its soname, programs that find the library from
# wherever the prefix lies, and package files that name no build path.
#
#   install-tree.sh CMAKE BUILD_DIR PREFIX EXPECTED_LIST ABSENT_LIST
set -euo pipefail
cmake=$1 build=$2 prefix=$3 expected=$4 absent=$5
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# The prefix is a folder of the test's own in the build tree.
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }

while IFS= read -r path; do
    [ -e "$prefix/$path" ] || fail "$path is not installed"
done < "$expected"
while IFS= read -r path; do
    [ ! -e "$prefix/$path" ] || fail "$path is private but installed"
done < "$absent"

libdir=$(dirname "$(grep -m1 '/liblumoscene\.so$' "$expected")")
library=$prefix/$libdir/liblumoscene.so
soname=$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = liblumoscene.so.0 ] || fail "the library's soname is '$soname', not liblumoscene.so.0"
[ -L "$library" ] && [ -L "$prefix/$libdir/liblumoscene.so.0" ] || fail "liblumoscene.so and .so.0 are not links"
real=$(readlink -f "$library")
[[ $(basename "$real") =~ ^liblumoscene\.so\.0\.[0-9]+ ]] || fail "the library file $(basename "$real") has no full version"

# The installed renderer loads the installed library, not the build tree's.
renderer=$(grep -m1 '/x3d-render$' "$expected")
loaded=$(ldd "$prefix/$renderer" | sed -n 's/.*liblumoscene\.so\.0 => \([^ ]*\).*/\1/p')
[ "$(readlink -f "$loaded")" = "$real" ] || fail "$renderer loads liblumoscene from '$loaded', not from the prefix"
"$prefix/$renderer" --help > /dev/null || fail "$renderer --help fails when installed"

# The package files must move with the prefix: no path of the build or
# source tree.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "$build" && pwd)
leaks=$(grep -rl -e "$build_dir" -e "$source_dir" "$prefix/$libdir/cmake" "$prefix/$libdir/pkgconfig" || true)
[ -z "$leaks" ] || fail "package files name a path of the build or source tree: $leaks"

[ $status -eq 0 ] && echo "installed into $prefix: $(wc -l < "$expected") expected paths, no private header"
exit $status
