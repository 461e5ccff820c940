#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds everything into build/ (or $BUILD_DIR).
#
# LUMO_FUZZ=1 also installs clang and builds only the fuzz targets, with
# clang and the sanitizers, into $BUILD_DIR (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake pkg-config groff-base dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0 libx11-dev
  libxerces-c-dev libcurl4-openssl-dev
  libpng-dev libjpeg-dev libtiff-dev libgif-dev libcairo2-dev
  libfontconfig-dev libfreetype-dev fonts-crosextra-caladea fonts-crosextra-carlito fonts-dejavu-core
  poppler-utils
)
if [ "${LUMO_FUZZ:-0}" = 1 ]; then
  PACKAGES+=(clang libclang-rt-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo > /dev/null 2>&1; then
      echo "setup.sh: sudo is not installed, and installing packages needs root." >&2
      echo "Missing packages: ${missing[*]}" >&2
      echo "Either run setup.sh as root, or install sudo as root (apt-get install sudo)," >&2
      echo "add yourself to the sudo group (usermod -aG sudo $(id -un 2>/dev/null || echo USER)), log in again" >&2
      echo "and run setup.sh once more." >&2
      exit 1
    fi
    SUDO="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "${LUMO_FUZZ:-0}" = 1 ]; then
  BUILD_DIR="${BUILD_DIR:-build-fuzz}"
  CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_FUZZ=ON ${CMAKE_ARGS:-}
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target fuzz_targets
  exit 0
fi
BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j"$(nproc)"
