#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, in parallel, over its seed corpus.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-60}
cd "$ROOT"
# Real receiver logs, read where they are (never copied), seed the NMEA,
# recogniser and conversion targets when the shared corpus is present.
GNSS_LOGS="$ROOT/../shared/corpus/gnss"
status=0; pids=()
mkdir -p build/fuzz/logs
rm -f build/fuzz/logs/FAILED build/fuzz/logs/REPORT
for exe in $(find build/fuzz -maxdepth 3 -type f -name '*_fuzz' -perm -u+x); do
  name=$(basename "$exe")
  seeds="fuzz/corpus/${name%_fuzz}"
  work="build/fuzz/work/$name"; mkdir -p "$work" "$seeds"
  extra=()
  if [[ ( $name == nmea_fuzz || $name == recogniser_fuzz || $name == convert_fuzz ) && -d $GNSS_LOGS ]]; then extra=("$GNSS_LOGS"); fi
  ( "$exe" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -artifact_prefix="build/fuzz/logs/$name-" \
      "$work" "$seeds" "${extra[@]}" >"build/fuzz/logs/$name.log" 2>&1 \
    && echo "$name: ok" || { echo "$name: FAILED"; echo "$name" >> build/fuzz/logs/FAILED; exit 1; } ) &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
# The reports of failed targets come last, after the parallel runs, so that
# the end of a long CI log shows them whole.
if [ -s build/fuzz/logs/FAILED ]; then
  while read -r name; do
    echo "=== $name failed; the end of its log:"
    tail -n 60 "build/fuzz/logs/$name.log"
    ls build/fuzz/logs/"$name"-* 2>/dev/null | while read -r a; do echo "input $a:"; head -c 2048 "$a" | od -A x -t x1z | head -40; done
  done < build/fuzz/logs/FAILED | tee build/fuzz/logs/REPORT
fi
exit $status
