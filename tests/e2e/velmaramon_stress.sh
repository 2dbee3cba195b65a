#!/usr/bin/env bash
# Connect and disconnect under load: the monitor starts on COM5 at 115200
# baud from the command line while rxsim sends SIM-1's reports fifty times a
# second (every frame reaches the window as a sent event), then 50 double
# clicks toggle IDLE and MONITOR. Each toggle must show in the link pane
# within 2 s, the program must survive, and the last connect must fill the
# fields again.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }
scenario=$VM_SCRATCH/sim1-fast.txt
sed 's/^interval_ms .*/interval_ms 20/' tools/rxsim/scenarios/sim1.txt >"$scenario"
rx_ok silent purge
rx_ok scenario load "$scenario"
rx_ok reset

TOGGLES=50
MONITOR_PANE="COM 5: 115200-8-N-1"
if vm_start_window -monitor -c5=115200,8,N,1,QBIN; then
  vm_expect_poll "link pane at start" 15 "$MONITOR_PANE" pane 4
  vm_expect_poll "fields at start" 15 "N" field 1702
  slow=0; state=monitor
  POLL_SLEEP=0.05
  for ((i = 1; i <= TOGGLES; i++)); do
    if [ "$state" = monitor ]; then state=idle; want=IDLE; else state=monitor; want=$MONITOR_PANE; fi
    ui dblclick "$VM_TITLE" >/dev/null
    got=$(poll 2 "$want" pane 4)
    if [ "$got" != "$want" ]; then
      slow=$((slow + 1))
      vm_fail "toggle $i: link pane '$got' 2 s after the double click (expected '$want')"
      # Let it settle, so one slow toggle does not fail every later one.
      got=$(poll 10 "$want" pane 4)
      [ "$got" == "$want" ] || { vm_fail "toggle $i never completed"; break; }
    fi
    if [ "$i" -eq $((TOGGLES - 1)) ]; then
      # The last disconnect: the fields are empty before the last connect.
      vm_expect_poll "fields after the last disconnect" 2 "" field 1702
    fi
    if ! kill -0 "$VM_PID" 2>/dev/null; then vm_fail "program ended at toggle $i"; break; fi
  done
  unset POLL_SLEEP
  [ "$slow" -eq 0 ] && vm_pass "$TOGGLES toggles, each shown within 2 s"
  if kill -0 "$VM_PID" 2>/dev/null && ui wait "$VM_TITLE" 1 >/dev/null; then vm_pass "program survived"
  else vm_fail "program did not survive the toggles"; fi
  vm_expect_poll "fresh fields after the last connect: latitude" 15 "N" field 1702
  vm_expect_poll "fresh fields after the last connect: time" 5 "Thu 01:02:03" field 1719
  vm_expect_poll "fresh fields after the last connect: fix mode" 5 "3-D, Auto (4 SV)" field 1723
  vm_info "rxsim sent meanwhile: $(rx truth | cut -d' ' -f2-4)"
  vm_close
fi
rx_ok silent purge
vm_finish
