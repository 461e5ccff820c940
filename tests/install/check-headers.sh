#!/usr/bin/env bash
# Every installed header compiles on its own, included the way the README
# tells hosts to (<lumoscene/scene/...>), with nothing but the include
# folders of the installed pkg-config file: a header that needs a header
# that was not installed, or that leans on an include it does not make,
# fails here.
#
#   check-headers.sh CXX PREFIX LIBDIR [CXXFLAGS]
set -euo pipefail
cxx=$1 prefix=$2 libdir=$3 flags=${4:-}
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
cflags=$(pkg-config --cflags lumoscene)
include=$prefix/include

cd "$include"
mapfile -t headers < <(find lumoscene -name '*.h' | sort)
[ ${#headers[@]} -gt 0 ] || { echo "FAIL: no headers under $include/lumoscene" >&2; exit 1; }
export cxx cflags flags
# shellcheck disable=SC2016
printf '%s\n' "${headers[@]}" | xargs -P "$(nproc)" -I{} sh -c \
    'printf "#include <%s>\n" "$1" | "$cxx" -std=c++17 -Wall -Wextra -Werror $flags $cflags -x c++ -fsyntax-only - ||
         { echo "FAIL: $1 does not compile on its own" >&2; exit 1; }' sh {} && status=0 || status=1
[ $status -eq 0 ] && echo "${#headers[@]} installed headers compile on their own"
exit $status
