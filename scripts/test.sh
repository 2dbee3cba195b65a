#!/usr/bin/env bash
# The one test command: installs what is needed, builds every flavour and runs
# every test (host unit tests, Win32 tests under Wine, end-to-end runs, fuzz
# targets for a bounded time, benchmarks). Ends with "N passed, N failed".
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=$(nproc 2>/dev/null || echo 2)
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.ccache}

passed=0; failed=0; failures=()
step() {  # step NAME COMMAND...
  local name=$1; shift
  echo "=== $name"
  if "$@"; then passed=$((passed+1)); echo "--- $name: ok"
  else failed=$((failed+1)); failures+=("$name"); echo "--- $name: FAILED"; fi
}

bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

build() {  # build DIR CMAKE-ARGS...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j "$JOBS"
}

# Host: portable logic under ASan + UBSan.
if step "host build" build build/host -DCMAKE_BUILD_TYPE=Debug; then
  step "host unit tests" ctest --test-dir build/host --output-on-failure -j "$JOBS"
  # The converter's outputs read back by XML, GDAL, gpsbabel and CSV readers.
  step "converter outputs (independent readers)" bash tests/readers/check_converter_outputs.sh build/host
fi

# Win32: the programs and the Win32 tests, run under Wine with the COM harness.
# Where this host cannot run 32-bit code at all, the same sources are also
# built for 64-bit Windows and the tests run that build (scripts/wine-arch.sh).
source scripts/wine-arch.sh
echo "Wine runs the $WINE_BITS-bit build here ($WIN32_BUILD)"
if step "win32 build" build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCMAKE_BUILD_TYPE=Release; then
  if [ "$WINE_BITS" = 32 ] || step "win64 build (for Wine on this host)" build "$WIN32_BUILD" -DCMAKE_TOOLCHAIN_FILE="$WIN_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release; then
    step "win32 tests (Wine)" bash scripts/run-win32-tests.sh
    # The UI driver the end-to-end scripts rely on, checked verb by verb.
    step "monui check (Wine)" bash tools/monui/check-monui.sh
  fi
fi

# Fuzz targets, each for a bounded time, in parallel.
if step "fuzz build" env CC=clang CXX=clang++ bash -c 'cmake -S . -B build/fuzz -G Ninja -DFUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build/fuzz -j '"$JOBS"; then
  step "fuzz runs" bash scripts/run-fuzz.sh "$FUZZ_SECONDS"
fi

# Benchmarks: optimised build, reported only.
if step "bench build" build build/bench -DBENCH=ON -DSANITIZE=OFF -DCMAKE_BUILD_TYPE=Release; then
  step "bench runs" bash scripts/run-bench.sh
fi

echo
# A failed fuzz target's report again, where the end of the log shows it.
if [ -s build/fuzz/logs/REPORT ]; then cat build/fuzz/logs/REPORT; fi
if [ ${#failures[@]} -gt 0 ]; then printf 'failed: %s\n' "${failures[@]}"; fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
