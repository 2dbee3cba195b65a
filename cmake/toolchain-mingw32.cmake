# Cross-compiles for 32-bit Windows (i686) with MinGW-w64, posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE arithmetic, so truncation and rounding of doubles match the 64-bit host
# build bit for bit (the x87 unit keeps extra precision in registers).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
