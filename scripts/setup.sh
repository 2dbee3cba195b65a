#!/usr/bin/env bash
# Installs everything the two builds and the tests need on a Debian 12 machine.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build ccache pkg-config
  g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  wine wine32:i386 wine64 xvfb xauth socat imagemagick x11-utils
  python3
  gdal-bin gpsbabel  # independent readers of the converter's KML and NMEA outputs
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
