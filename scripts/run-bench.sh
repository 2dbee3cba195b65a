#!/usr/bin/env bash
# Runs every benchmark briefly and prints its report; no thresholds.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
status=0
# The full-speed replay benchmark reads a recording: the simulator's drive,
# 10 MB, as the Wine playback run uses.
if [ -z "${VELMARA_PLAYBACK_FILE:-}" ] && [ -x build/bench/bench/rxsim ]; then
  rec=build/bench/playback-drive.qbl
  [ -s "$rec" ] || build/bench/bench/rxsim --generate qbin-drive-1 --bytes 10485760 --out "$rec" >/dev/null 2>&1
  [ -s "$rec" ] && export VELMARA_PLAYBACK_FILE="$ROOT/$rec"
fi
for exe in $(find build/bench -maxdepth 3 -type f -name '*_bench' -perm -u+x); do
  "$exe" --benchmark_min_time=0.05 || status=1
done
exit $status
