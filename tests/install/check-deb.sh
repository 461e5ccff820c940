#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: it holds the install
# tree (library, headers, programs, manual pages, CMake package, .pc file)
# under /usr, and depends on the Debian packages of the libraries it loads.
# Skipped (77) where the Debian tools are missing.
#
#   check-deb.sh CPACK BUILD_DIR WORK EXPECTED_LIST
set -euo pipefail
cpack=$1 build=$2 work=$3 expected=$4

# CPack finds the libraries' packages with dpkg-shlibdeps, and ELF files with file.
for tool in dpkg-deb dpkg-shlibdeps file; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (setup.sh installs it)"; exit 77; }
done

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
mapfile -t debs < <(find "$work" -maxdepth 1 -name '*.deb')
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one .deb in $work, found ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}

status=0
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./##' > "$work/contents"
while IFS= read -r path; do
    grep -qx "usr/$path" "$work/contents" || { echo "FAIL: the package lacks /usr/$path" >&2; status=1; }
done < "$expected"

depends=$(dpkg-deb -f "$deb" Depends)
# The libraries' packages (from dpkg-shlibdeps) and the run-time driver.
for package in libxerces-c3.2 libpng16-16 libegl1 libgl1-mesa-dri libxerces-c-dev; do
    grep -qE "(^|, )$package( |,|$)" <<< "$depends" || { echo "FAIL: Depends lacks $package: $depends" >&2; status=1; }
done
# The loader's cache learns of the library when the package is installed
# and removed (maintainer scripts or a trigger, depending on CMake's version).
dpkg-deb -e "$deb" "$work/control"
grep -qs ldconfig "$work/control/postinst" "$work/control/triggers" ||
    { echo "FAIL: installing the package does not run ldconfig" >&2; status=1; }

[ $status -eq 0 ] && echo "$(basename "$deb"): $(wc -l < "$expected") expected paths; Depends: $depends"
exit $status
