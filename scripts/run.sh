#!/usr/bin/env bash
# The run command. Installs what is needed, builds, and shows the monitor at
# its main job: the simulated receiver (rxsim) sits on the Linux end of a pty
# linked into a scratch Wine prefix as COM5 and replays the bundled recording
# tests/data/velmara_demo.qbl (three minutes of 1 Hz QBIN reports of a moving
# receiver) in real time, in a loop. The monitor's profile is set to monitor
# COM5 (as if the user had last left it connected there), and VelmaraMon.exe
# starts with no arguments, reconnects by itself and fills its fields. The
# window lives on a virtual display (Xvfb): this command prints what the
# window shows every few seconds and saves a screenshot at the end to
# build/artifacts/velmaramon_demo.png.
#
# Environment: SECONDS_TO_RUN (default 30; 0 runs until Ctrl-C or the window
# is closed), RATE (bytes per second of the replay; default the recording's
# size over its 180 periods, i.e. one period a second), RECORDING (default the
# bundled one), HOST_BUILD and WIN32_BUILD (default build/host, build/win32;
# build/win64 where Wine cannot run 32-bit code, see scripts/wine-arch.sh),
# RUN_DIR (the scratch prefix, default build/run-demo).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SECONDS_TO_RUN=${SECONDS_TO_RUN:-30}
RECORDING=$(readlink -f "${RECORDING:-tests/data/velmara_demo.qbl}")
PERIODS=180  # of the bundled recording (tools/rxsim/scenarios/velmara-demo.txt)
RATE=${RATE:-$(( ($(stat -c %s "$RECORDING") + PERIODS - 1) / PERIODS ))}
JOBS=$(nproc 2>/dev/null || echo 2)
export HOST_BUILD=${HOST_BUILD:-build/host}

bash scripts/setup.sh
# The 32-bit build, or the 64-bit one on a host that cannot run 32-bit code.
source scripts/wine-arch.sh
cmake -S . -B "$HOST_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$HOST_BUILD" -j "$JOBS" --target rxsim
cmake -S . -B "$WIN32_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WIN_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WIN32_BUILD" -j "$JOBS" --target VelmaraMon monui

export RUN_DIR=${RUN_DIR:-$ROOT/build/run-demo}
source scripts/wine-env.sh
TITLE="Velmara GPS Monitor"
KEY='HKCU\Software\Velmara Divizuvozo Ltd.\Velmara GPS Monitor\Monitor'
ARTIFACTS=$ROOT/build/artifacts
mkdir -p "$ARTIFACTS"
vm_pid=
stop() {
  if [ -n "$vm_pid" ] && kill -0 "$vm_pid" 2>/dev/null; then
    wine "$WIN32_BUILD/tools/monui.exe" close "$TITLE" >/dev/null 2>&1 || true
    for _ in $(seq 50); do kill -0 "$vm_pid" 2>/dev/null || break; sleep 0.2; done
    kill "$vm_pid" 2>/dev/null || true
  fi
  wine_env_stop
}
trap stop EXIT
trap 'exit 130' INT TERM HUP
wine_env_start

# Ask the simulated receiver on COM5 to replay the recording.
exec 3<>"/dev/tcp/127.0.0.1/$RXSIM_COM5_CONTROL"
echo "replay $RECORDING $RATE loop" >&3
read -r reply <&3
exec 3>&-
echo "rxsim on COM5: $reply (replaying $(basename "$RECORDING") at $RATE bytes/s)"

# Without a window manager on the virtual display Wine draws the frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The monitor's own profile: COM5, left in MONITOR mode, so it reconnects.
wine reg add "$KEY" /v com /t REG_DWORD /d 5 /f >/dev/null
wine reg add "$KEY" /v mode /t REG_DWORD /d 1 /f >/dev/null

wine "$WIN32_BUILD/monitor/app/VelmaraMon.exe" >"$RUN_DIR/VelmaraMon.log" 2>&1 &
vm_pid=$!

ui() { wine "$WIN32_BUILD/tools/monui.exe" "$@" 2>/dev/null | tr -d '\r' || true; }
# One line of what the window shows: link and message panes, position, time.
show() {
  local p=() id
  for id in 1702 1703 1705 1708 1709 1711 1714 1717 1718 1719 1720; do p+=("$(ui text "$TITLE" "$id")"); done
  printf 'monitor: link "%s" | message "%s" | %s %s %s %s %s %s | alt %s | speed %s %s | %s %s\n' \
    "$(ui pane "$TITLE" 4 | sed 's/^ //')" "$(ui pane "$TITLE" 1 | sed 's/^ //')" \
    "${p[0]}" "${p[1]}" "${p[2]}" "${p[3]}" "${p[4]}" "${p[5]}" "${p[6]}" "${p[7]}" "${p[8]}" "${p[9]}" "${p[10]}"
}

if ! ui wait "$TITLE" 60 | grep -q hwnd; then
  echo "VelmaraMon.exe showed no window (see $RUN_DIR/VelmaraMon.log)" >&2
  exit 1
fi
echo "VelmaraMon.exe is running (no arguments); state every 5 s:"
start=$SECONDS
while kill -0 "$vm_pid" 2>/dev/null; do
  if [ "$SECONDS_TO_RUN" -gt 0 ] && [ $((SECONDS - start)) -ge "$SECONDS_TO_RUN" ]; then break; fi
  sleep 5
  kill -0 "$vm_pid" 2>/dev/null && show
done
if kill -0 "$vm_pid" 2>/dev/null; then
  bmp=$RUN_DIR/velmaramon_demo.bmp
  if ui shot "$TITLE" "$bmp" | grep -q saved && convert "$bmp" "$ARTIFACTS/velmaramon_demo.png"; then
    echo "screenshot: build/artifacts/velmaramon_demo.png"
  fi
  show
fi
