#!/usr/bin/env bash
# The run command's view of a link: rxsim replays the bundled recording into
# COM12 (the "\\.\COM12" device name form) and linkwatch must recognise its
# QBIN and NMEA frames with no bad frame. Runs inside the Win32 test
# environment (WINEPREFIX, RXSIM_COM12_CONTROL set by the runner).
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WIN32_BUILD=${WIN32_BUILD:-build/win32}
exe="$ROOT/$WIN32_BUILD/tools/linkwatch.exe"
[ -x "$exe" ] || { echo "linkwatch_replay: $exe not built"; exit 1; }
[ -n "${RXSIM_COM12_CONTROL:-}" ] || { echo "linkwatch_replay: no rxsim on COM12"; exit 1; }

exec 3<>"/dev/tcp/127.0.0.1/$RXSIM_COM12_CONTROL"
echo "replay $ROOT/tests/data/sample_qbin_nmea.log 4000 loop" >&3
read -r reply <&3
exec 3>&-
case "$reply" in ok*) ;; *) echo "linkwatch_replay: rxsim said: $reply"; exit 1;; esac

# To a file, not a pipe: Wine's helper processes inherit the output and
# would hold a command substitution open.
log=${RXSIM_RUN_DIR:-/tmp}/linkwatch_replay.out
timeout -k 5 60 wine "$exe" 12 3 >"$log" 2>&1; rc=$?
cat "$log"
last=$(tail -n 1 "$log")
status=0
[ "$rc" -eq 0 ] || { echo "linkwatch_replay: exit code $rc"; status=1; }
echo "$last" | grep -qE ' QBIN\+=[1-9]' || { echo "linkwatch_replay: no QBIN frame"; status=1; }
echo "$last" | grep -qE ' NMEA\+=[1-9]' || { echo "linkwatch_replay: no NMEA frame"; status=1; }
echo "$last" | grep -qE ' bad=0 ' || { echo "linkwatch_replay: bad frames in a clean recording"; status=1; }
# Quiet the port again for whatever runs next.
exec 3<>"/dev/tcp/127.0.0.1/$RXSIM_COM12_CONTROL"; echo "silent purge" >&3; read -r _ <&3; exec 3>&-
[ "$status" -eq 0 ] && echo "linkwatch_replay: ok"
exit $status
