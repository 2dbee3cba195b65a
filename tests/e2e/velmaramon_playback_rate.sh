#!/usr/bin/env bash
# Full-speed playback rate with the main window open, next to the host's rate
# on the same file. rxsim writes a QBIN drive of at least 10 MB; the program
# plays it with "-monitor -playback=<file>" (speed 1000) and ends by itself;
# the rate is the file's size over the time from the window's appearance to
# the end of the run. The host figure comes from bench/playback_bench, which
# replays the same file through the same link owner, reader and decoders
# (built here in build/bench when it is missing). A benchmark: reported,
# never asserted; only the run's completion is checked.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset

RATE_BYTES=${RATE_BYTES:-10500000}
rec=$VM_SCRATCH/drive.qbl
RXSIM=${RXSIM:-$ROOT/build/host/tools/rxsim}
if ! "$RXSIM" --generate qbin-drive-1 --bytes "$RATE_BYTES" --out "$rec" >"$VM_SCRATCH/generate.log" 2>&1; then
  vm_fail "rxsim could not write the recording (see $VM_SCRATCH/generate.log)"
  vm_finish
fi
size=$(stat -c %s "$rec")
[ "$size" -ge 10000000 ] && vm_pass "recording of $size bytes" || vm_fail "recording only $size bytes"

# The build Wine runs.
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$WIN32_BUILD/CMakeCache.txt" 2>/dev/null)
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$WIN32_BUILD/CMakeCache.txt" 2>/dev/null)
[ -n "$compiler" ] || compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:FILEPATH=//p' "$WIN32_BUILD/CMakeCache.txt" 2>/dev/null)
commit=$(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null)
vm_info "Wine runs $VM_EXE: build type ${build_type:-?}, compiler ${compiler:-?} ($("${compiler:-false}" -dumpversion 2>/dev/null || echo ?)), commit ${commit:-?}$(git -C "$ROOT" diff --quiet 2>/dev/null || echo ' with local changes')"

wine_ms=
vm_start -monitor "-playback=$(zpath "$rec")"
if ui wait "$VM_TITLE" 30 >/dev/null; then
  start=$(date +%s%N)
  vm_expect_poll "link pane" 10 "FILE" pane 4
  vm_wait_exit 600; code=$?
  if [ "$code" -eq 124 ]; then
    vm_fail "playback still running after 600 s"
    vm_kill
  else
    wine_ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$wine_ms" -gt 0 ] || wine_ms=1
    vm_pass "playback ended by itself (exit code $code)"
  fi
else
  vm_fail "no window for the playback"
fi

# The host's rate on the same file.
bench_exe=$ROOT/build/bench/bench/playback_bench
if [ ! -x "$bench_exe" ]; then
  vm_info "building the host benchmark in build/bench"
  { cmake -S "$ROOT" -B "$ROOT/build/bench" -G Ninja -DBENCH=ON -DSANITIZE=OFF -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$ROOT/build/bench" --target playback_bench -j4; } >"$VM_SCRATCH/bench-build.log" 2>&1
fi
host_rate=
if [ -x "$bench_exe" ]; then
  host_rate=$(VELMARA_PLAYBACK_FILE=$rec "$bench_exe" 2>&1 | sed -n 's/^host playback rate: \([0-9]*\) bytes.*/\1/p' | tail -n 1)
fi

if [ -n "$wine_ms" ]; then
  wine_rate=$(( size * 1000 / wine_ms ))
  echo "benchmark: full-speed playback under Wine with the main window: $size bytes in $wine_ms ms = $wine_rate bytes/s (${build_type:-?} build, $WIN32_BUILD)"
  if [ -n "$host_rate" ]; then
    echo "benchmark: full-speed playback on the host (bench/playback_bench, Release): $host_rate bytes/s on the same file"
    [ "$host_rate" -gt 0 ] && echo "benchmark: Wine/host = $(( wine_rate * 100 / host_rate ))%"
  else
    vm_info "host rate not measured (see $VM_SCRATCH/bench-build.log)"
  fi
fi
rm -f "$rec"
vm_finish
