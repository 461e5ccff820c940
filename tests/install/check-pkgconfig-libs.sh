#!/usr/bin/env bash
# The installed pkg-config file must account for every shared library that
# liblumoscene loads: each one (by soname) must be a library that
# "pkg-config --static --libs lumoscene" names, or one the compiler links
# by itself. A dependency added to the build but not to the .pc fails here.
#
#   check-pkgconfig-libs.sh CXX PREFIX LIBDIR
set -euo pipefail
cxx=$1 prefix=$2 libdir=$3
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"

libs=$(pkg-config --static --libs lumoscene)
# The sonames behind the -l flags, found where the linker would look.
declare -A named
for flag in $libs; do
    case "$flag" in
    -l*) name=${flag#-l} ;;
    *) continue ;;
    esac
    [ "$name" = lumoscene ] && continue
    # The package's own libraries lie in the prefix.
    if [ -e "$prefix/$libdir/lib$name.so" ]; then
        file="$prefix/$libdir/lib$name.so"
    else
        file=$("$cxx" -print-file-name="lib$name.so")
    fi
    if [ "$file" = "lib$name.so" ]; then
        echo "FAIL: $flag names no library the linker finds" >&2
        exit 1
    fi
    soname=$(readelf -d "$(readlink -f "$file")" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
    named[${soname:-lib$name.so}]=1
done

status=0
while read -r needed; do
    case "$needed" in
    libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*) continue ;; # the compiler's own
    libasan.so.* | libubsan.so.*) continue ;;                                      # sanitizer builds
    esac
    [ -n "${named[$needed]:-}" ] || { echo "FAIL: liblumoscene needs $needed, which lumoscene.pc does not name" >&2; status=1; }
done < <(readelf -d "$prefix/$libdir/liblumoscene.so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ $status -eq 0 ] && echo "lumoscene.pc names every library liblumoscene needs: $libs"
exit $status
