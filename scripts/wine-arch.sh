# Sourced by the scripts that build or run the Windows programs: which of the
# two Windows builds Wine can run on this host.
#
# The programs ship as 32-bit (build/win32). Wine runs them through its 32-bit
# loader, an i386 ELF program; some hosts' kernels refuse to run any 32-bit
# code (execve fails with "Exec format error"), and then nothing 32-bit can
# run under Wine there. On such a host the same sources are built for 64-bit
# Windows as well (build/win64) and the tests run that build under Wine's
# 64-bit loader in a 64-bit prefix. The deliverables stay 32-bit either way.
#
# Outputs: WINE_BITS (32 or 64; preset it to force one), WIN_TOOLCHAIN (the
# CMake toolchain file of that build), WIN32_BUILD (its build directory, unless
# the caller chose one), WINEARCH, and on a 64-bit host a PATH whose "wine" and
# "wineserver" are the 64-bit ones (Debian's wrappers would pick the 32-bit
# loader whenever it is installed, runnable or not).
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
if [ -z "${WINE_BITS:-}" ]; then
  if [ ! -e /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINE_BITS=32
  else
    WINE_BITS=64
  fi
fi
export WINE_BITS
if [ "$WINE_BITS" = 64 ]; then
  export WIN_TOOLCHAIN=cmake/toolchain-mingw64.cmake
  WIN32_BUILD=${WIN32_BUILD:-build/win64}
  export WINEARCH=win64
  _wine64_bin=$ROOT/build/wine64-bin
  if [ ! -x "$_wine64_bin/wine-stable" ]; then
    mkdir -p "$_wine64_bin"
    # "wine-stable" is what Debian's wineboot, regedit, ... wrappers call.
    for _w in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64\nexec /usr/lib/wine/wine64 "$@"\n' >"$_wine64_bin/$_w"
    done
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$_wine64_bin/wineserver"
    chmod +x "$_wine64_bin"/*
  fi
  case ":$PATH:" in *":$_wine64_bin:"*) ;; *) export PATH=$_wine64_bin:$PATH ;; esac
else
  export WIN_TOOLCHAIN=cmake/toolchain-mingw32.cmake
  WIN32_BUILD=${WIN32_BUILD:-build/win32}
  export WINEARCH=win32
fi
export WIN32_BUILD
