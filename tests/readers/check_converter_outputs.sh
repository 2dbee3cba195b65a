#!/usr/bin/env bash
# The converter's outputs handed to independent readers (xml.etree, GDAL's
# ogrinfo, gpsbabel, the csv module): the real receiver logs (when the shared
# corpus is present) and an rxsim recording with garbage, broken frames and
# CRC errors are converted by convertlog, the host build's native converter,
# in a scratch folder; check_converter_outputs.py then reads every output.
# usage: check_converter_outputs.sh [HOST_BUILD_DIR]   (default build/host)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/host}" && pwd)
CONVERTLOG=$BUILD/tools/convertlog
RXSIM=$BUILD/tools/rxsim
DRIVE=qbin-drive-1
FAULTS=garbage,broken,bad,crc
GNSS_LOGS=$ROOT/../shared/corpus/gnss
SIM_BYTES=400000
SPLIT_LINES=25

for tool in "$CONVERTLOG" "$RXSIM"; do
  [ -x "$tool" ] || { echo "missing $tool: build the host first"; exit 1; }
done
for reader in python3 ogrinfo gpsbabel; do
  command -v "$reader" >/dev/null || { echo "missing $reader (scripts/setup.sh installs it)"; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/all" "$WORK/split"

# Scratch copies: the converter writes its outputs beside each recording.
if [ -d "$GNSS_LOGS" ]; then
  cp "$GNSS_LOGS"/*.log "$WORK/all/"
else
  echo "no corpus at $GNSS_LOGS: the simulated recording only"
fi
"$RXSIM" --generate "$DRIVE" --bytes "$SIM_BYTES" --faults "$FAULTS" --out "$WORK/all/sim.qbl" --truth "$WORK/all/sim.truth.csv" >/dev/null
cp "$WORK/all/sim.qbl" "$WORK/all/sim.truth.csv" "$WORK/split/"

# Without the corpus only the simulated recording is converted (an unmatched
# glob would reach the converter as a literal name).
shopt -s nullglob
"$CONVERTLOG" -csv -kml -nmea -txt -xlx "$WORK"/all/*.log "$WORK/all/sim.qbl" >/dev/null
shopt -u nullglob
"$CONVERTLOG" -csv -kml -nmea -xlx -split_lines=$SPLIT_LINES "$WORK/split/sim.qbl" >/dev/null

status=0
python3 "$ROOT/tests/readers/check_converter_outputs.py" "$WORK/all" || status=1
python3 "$ROOT/tests/readers/check_converter_outputs.py" "$WORK/split" || status=1
parts=$(ls "$WORK"/split/sim_[0-9][0-9][0-9].xlx 2>/dev/null | wc -l)
if [ "$parts" -lt 2 ]; then echo "FAILED split run: $parts spreadsheet parts"; status=1; fi
exit $status
