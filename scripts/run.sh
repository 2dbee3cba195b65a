#!/usr/bin/env bash
# The run command, for as long as the monitor program does not exist yet: it
# builds rxsim (the simulated receiver) and starts it on a pty, replaying the
# bundled recording tests/data/sample_qbin_nmea.log (QBIN time and health
# reports with NMEA fixes) over and over at RATE bytes per second. Any serial
# terminal can open the printed device; under Wine link it as a COM port:
#   ln -s <printed device link> "$WINEPREFIX/dosdevices/com5"
# The control port (127.0.0.1 only) takes rxsim's commands ("help" lists them).
# Ctrl-C ends it and removes the device link.
#
# Environment: HOST_BUILD (default build/host), RUN_DIR (default build/run),
# RATE (default 1000), RECORDING (default the bundled one).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
HOST_BUILD=${HOST_BUILD:-build/host}
RUN_DIR=${RUN_DIR:-build/run}
RATE=${RATE:-1000}
RECORDING=${RECORDING:-tests/data/sample_qbin_nmea.log}

if [ ! -f "$HOST_BUILD/build.ninja" ]; then
  cmake -S . -B "$HOST_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$HOST_BUILD" --target rxsim

mkdir -p "$RUN_DIR/ptys"
link="$RUN_DIR/ptys/com5"
echo "rxsim: replaying $RECORDING at $RATE bytes/s on $link (Ctrl-C ends)"
exec "$HOST_BUILD/tools/rxsim" --pty "$link" --control 0 --replay "$RECORDING" --rate "$RATE" --loop
