# Cross-compiles the same sources for 64-bit Windows (x86_64) with MinGW-w64.
# Not a deliverable: the programs ship as 32-bit. This build exists so the
# Win32 tests can still run under Wine on a host whose kernel refuses to run
# 32-bit code (Wine's 32-bit loader is then an ELF the kernel will not exec).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
