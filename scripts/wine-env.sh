# Sourced by the Win32 test runners: a scratch Wine prefix, a virtual X display
# and the COM harness (a pty per port whose Windows end is linked into the
# prefix as com5, com6 and com12, each with its own rxsim on the Linux end).
# Everything started here is stopped by wine_env_stop, which the caller traps
# on EXIT.
#
# Inputs (all optional): RUN_DIR (scratch directory, default build/run),
# HOST_BUILD (where rxsim was built, default build/host), RXSIM (the rxsim
# binary itself), RXSIM_PORTS (the COM numbers, default "5 6 12"),
# RXSIM_COM<n>_SCENARIO (a scenario file that port's rxsim plays from the
# start, relative to the repository's root; without it the port is silent
# until a test loads one), RXSIM_LOGS=1 (each port's rxsim keeps
# ptys/com<n>.sent, every byte it sent; ptys/com<n>.fixes.csv, every fix that
# left whole, with its end offset in .sent; ptys/com<n>.commands, every
# command it received, with its time).
# Outputs: WINEPREFIX, DISPLAY, RXSIM_COM<n>_CONTROL for each port (rxsim's
# control ports on 127.0.0.1: RXSIM_COM5_CONTROL, RXSIM_COM6_CONTROL,
# RXSIM_COM12_CONTROL), RXSIM_RUN_DIR.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
RUN_DIR=${RUN_DIR:-$ROOT/build/run}
# Absolute: the prefix's port links and registry entries must not depend on
# the directory a program runs in.
case $RUN_DIR in /*) ;; *) RUN_DIR=$PWD/$RUN_DIR ;; esac
HOST_BUILD=${HOST_BUILD:-$ROOT/build/host}
RXSIM_PORTS=${RXSIM_PORTS:-5 6 12}
RXSIM=${RXSIM:-$HOST_BUILD/tools/rxsim}
case $RXSIM in /*) ;; *) RXSIM=$PWD/$RXSIM ;; esac
source "$ROOT/scripts/wine-arch.sh"
export WINEPREFIX=$RUN_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
_env_pids=()

# wait_for SECONDS TEST...: polls TEST every 0.1 s; false when it never held.
wait_for() {
  local tries=$(( $1 * 10 )); shift
  while [ "$tries" -gt 0 ]; do "$@" && return 0; sleep 0.1; tries=$((tries-1)); done
  return 1
}

wine_env_start() {
  # A run that was killed may have left its server behind on this prefix.
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$RUN_DIR"; mkdir -p "$RUN_DIR/ptys"
  # Xvfb picks a free display itself and reports it: two runs side by side
  # (other build directories) cannot race for the same number.
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$RUN_DIR/display" \
    >"$RUN_DIR/xvfb.log" 2>&1 &
  _env_pids+=($!)
  if ! wait_for 20 test -s "$RUN_DIR/display"; then
    echo "wine-env: Xvfb did not start (see $RUN_DIR/xvfb.log)" >&2
    return 1
  fi
  export DISPLAY=:$(tr -dc '0-9' <"$RUN_DIR/display")
  WINEARCH=$WINEARCH wineboot -i >"$RUN_DIR/wineboot.log" 2>&1
  # A program that crashes must end (and fail its test), not wait in the
  # crash debugger, which can hang on a process with threads in flight.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    >>"$RUN_DIR/wineboot.log" 2>&1
  # No window manager runs on the virtual display: Wine draws the frames
  # itself instead of waiting for one whenever a window is shown or closed.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$RUN_DIR/wineboot.log" 2>&1
  wineserver -w
  com_harness_start
}

# rxsim owns each port's pty: it keeps the slave open itself, so the Windows
# side may open and close the port freely, and it can hang the line up and
# bring it back (the link then points at the new pty). dosdevices points at
# rxsim's link rather than at /dev/pts/N so that a restored line is found by
# the next open.
com_harness_start() {
  local n port scenario args
  for n in $RXSIM_PORTS; do
    if [ -x "$RXSIM" ]; then
      args=(--pty "$RUN_DIR/ptys/com$n" --control 0 --port-file "$RUN_DIR/ptys/com$n.port")
      scenario=RXSIM_COM${n}_SCENARIO
      [ -z "${!scenario:-}" ] || args+=(--scenario "${!scenario}")
      if [ "${RXSIM_LOGS:-0}" = 1 ]; then
        args+=(--sent-log "$RUN_DIR/ptys/com$n.sent" --fix-log "$RUN_DIR/ptys/com$n.fixes.csv"
               --command-log "$RUN_DIR/ptys/com$n.commands")
      fi
      # In the repository's root, where tests name recordings by relative
      # path; exec keeps rxsim a direct child of this shell, so it ends when
      # the shell does (see rxsim's parent-death signal).
      (cd "$ROOT" && exec "$RXSIM" "${args[@]}") >"$RUN_DIR/rxsim$n.log" 2>&1 &
      _env_pids+=($!)
    else
      # Without rxsim the ports still exist, as a plain socat pair.
      echo "wine-env: $RXSIM not built; com$n is a bare pty pair" >&2
      socat -d -d pty,raw,echo=0,link="$RUN_DIR/ptys/com$n" pty,raw,echo=0,link="$RUN_DIR/ptys/sim$n" \
        >"$RUN_DIR/socat$n.log" 2>&1 &
      _env_pids+=($!)
    fi
  done
  for n in $RXSIM_PORTS; do
    if ! wait_for 10 test -e "$RUN_DIR/ptys/com$n"; then
      echo "wine-env: com$n did not appear (see $RUN_DIR/rxsim$n.log)" >&2
      return 1
    fi
    ln -sfn "$RUN_DIR/ptys/com$n" "$WINEPREFIX/dosdevices/com$n"
    # Wine lists a port (QueryDosDevice, SERIALCOMM) only when its mount
    # manager knows it: a dosdevices link alone opens but is not listed.
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$RUN_DIR/ptys/com$n" /f \
      >>"$RUN_DIR/wineboot.log" 2>&1
    if [ -x "$RXSIM" ]; then
      wait_for 10 test -s "$RUN_DIR/ptys/com$n.port" || { echo "wine-env: rxsim on com$n has no control port" >&2; return 1; }
      port=$(tr -dc '0-9' <"$RUN_DIR/ptys/com$n.port")
      export RXSIM_COM${n}_CONTROL=$port
    fi
  done
  # The mount manager reads the port table when the prefix starts again.
  wineserver -w
  # One server for the whole run, started here so that its own output (an
  # object dump when it is killed) goes to a log instead of a test's output.
  wineserver -p >>"$RUN_DIR/wineserver.log" 2>&1
  export RXSIM_RUN_DIR=$RUN_DIR
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local p
  for p in "${_env_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${_env_pids[@]}"; do wait "$p" 2>/dev/null || true; done
  _env_pids=()
}
