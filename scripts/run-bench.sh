#!/usr/bin/env bash
# Runs every benchmark briefly and prints its report; no thresholds.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
status=0
for exe in $(find build/bench -maxdepth 3 -type f -name '*_bench' -perm -u+x); do
  "$exe" --benchmark_min_time=0.05 || status=1
done
exit $status
