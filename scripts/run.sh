#!/usr/bin/env bash
# The run command. Installs what is needed, builds, and shows the receiver
# link layer at work: the simulated receiver (rxsim) sits on the Linux end of
# a pty linked into a scratch Wine prefix as COM5 and replays the bundled
# recording tests/data/sample_qbin_nmea.log (QBIN reports with NMEA fixes) in
# a loop; linkwatch.exe, a console view of one link built from the monitor's
# link layer, opens COM5 under Wine and prints the statistics counters and the
# frames recognised per protocol once a second.
#
# The monitor's own window (VelmaraMon.exe) is not built yet; this command
# will start it in place of linkwatch once it exists.
#
# Environment: SECONDS_TO_RUN (default 30; 0 runs until Ctrl-C), RATE (bytes
# per second of the replay, default 1000), RECORDING (default the bundled one).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SECONDS_TO_RUN=${SECONDS_TO_RUN:-30}
RATE=${RATE:-1000}
RECORDING=$(readlink -f "${RECORDING:-tests/data/sample_qbin_nmea.log}")
JOBS=$(nproc 2>/dev/null || echo 2)

bash scripts/setup.sh
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j "$JOBS" --target rxsim
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j "$JOBS" --target linkwatch

export RUN_DIR=${RUN_DIR:-$ROOT/build/run-demo}
source scripts/wine-env.sh
trap wine_env_stop EXIT
trap 'exit 130' INT TERM HUP
wine_env_start

# Ask the simulated receiver on COM5 to replay the recording.
exec 3<>"/dev/tcp/127.0.0.1/$RXSIM_COM5_CONTROL"
echo "replay $RECORDING $RATE loop" >&3
read -r reply <&3
exec 3>&-
echo "rxsim on COM5: $reply"
wine build/win32/tools/linkwatch.exe 5 "$SECONDS_TO_RUN"
