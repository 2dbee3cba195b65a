# Sourced by the Win32 test runners: a scratch Wine prefix, a virtual X display
# and the COM harness (pty pairs whose Windows end is linked into the prefix as
# com5 and com12, with rxsim on the Linux end). Everything started here is
# stopped by wine_env_stop, which the caller traps on EXIT.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
RUN_DIR=${RUN_DIR:-$ROOT/build/run}
export WINEPREFIX=$RUN_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
_env_pids=()

wine_env_start() {
  rm -rf "$RUN_DIR"; mkdir -p "$RUN_DIR/ptys"
  local disp=99
  while [ -e /tmp/.X11-unix/X$disp ] || [ -e /tmp/.X$disp-lock ]; do disp=$((disp+1)); done
  Xvfb :$disp -screen 0 1280x1024x24 -nolisten tcp >"$RUN_DIR/xvfb.log" 2>&1 &
  _env_pids+=($!)
  export DISPLAY=:$disp
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$disp ] && break; sleep 0.1; done
  WINEARCH=win32 wineboot -i >"$RUN_DIR/wineboot.log" 2>&1
  wineserver -w
  com_harness_start
}

# rxsim owns each pty pair's Linux end; its control socket is on loopback.
com_harness_start() {
  local rxsim=$ROOT/build/host/tools/rxsim
  for n in 5 12; do
    socat -d -d pty,raw,echo=0,link="$RUN_DIR/ptys/com$n" pty,raw,echo=0,link="$RUN_DIR/ptys/sim$n" \
      >"$RUN_DIR/socat$n.log" 2>&1 &
    _env_pids+=($!)
  done
  for _ in $(seq 50); do [ -e "$RUN_DIR/ptys/sim12" ] && [ -e "$RUN_DIR/ptys/com12" ] && break; sleep 0.1; done
  for n in 5 12; do
    ln -sfn "$(readlink -f "$RUN_DIR/ptys/com$n")" "$WINEPREFIX/dosdevices/com$n"
    if [ -x "$rxsim" ]; then
      "$rxsim" --device "$RUN_DIR/ptys/sim$n" --control "$((47000+n))" >"$RUN_DIR/rxsim$n.log" 2>&1 &
      _env_pids+=($!)
      export RXSIM_COM${n}_CONTROL=$((47000+n))
    fi
  done
  export RXSIM_RUN_DIR=$RUN_DIR
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  for p in "${_env_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${_env_pids[@]}"; do wait "$p" 2>/dev/null || true; done
  _env_pids=()
}
