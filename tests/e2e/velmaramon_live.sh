#!/usr/bin/env bash
# The monitor on a live receiver: rxsim on COM5 plays SIM-1
# (tools/rxsim/scenarios/sim1.txt), whose reports fix every field's text.
# Connect through the link combo (answering the port dialog a port choice
# opens, when it does), read the fields, save the profile on
# close, reconnect from the profile at the next start, watch the fields
# empty when the receiver goes quiet, disconnect with a double click, and
# start on a port with no device behind it.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }
rx_ok silent purge
rx_ok scenario load "$ROOT/tools/rxsim/scenarios/sim1.txt"
rx_ok reset

# A fresh profile: nothing stored, and a plain start and close writes the defaults.
if wine reg query "$VM_KEY" >/dev/null 2>&1; then vm_fail "profile key exists before the first start"
else vm_pass "no profile before the first start"; fi
if vm_start_window; then
  vm_expect_poll "link pane at start" 10 "IDLE" pane 4
  vm_close
  vm_expect "default profile" "com=1 baud=9600 mode=0 ontop=0 autoOutput=1 spdUnits=0" \
    "com=$(reg_int com) baud=$(reg_int baud) mode=$(reg_int mode) ontop=$(reg_int ontop) autoOutput=$(reg_int autoOutput) spdUnits=$(reg_int spdUnits)"
fi

# The field table of SIM-1: control id | expected text | what.
FIELDS="1702|N|latitude hemisphere
1703|47|latitude degrees
1705|30.00000'|latitude minutes
1708|W|longitude hemisphere
1709|122|longitude degrees
1711|15.00000'|longitude minutes
1714|100.00|altitude
1719|Thu 01:02:03|time
1720|November 09, 2006|date
1721|1400|week
1723|3-D, Auto (4 SV)|fix mode
1725|2.50|PDOP
1726|1.25|HDOP
1727|2.00|VDOP
1728|1.50|TDOP
1724|doing position fixes|receiver status
1733|7.74.3|firmware version
1734|03/15/07|firmware date
1800|5|channel 0 satellite
1801|45.0|channel 0 level
1802|57.3|channel 0 azimuth
1803|28.6|channel 0 elevation"
# Fields that empty themselves when the reports stop.
STALE_IDS="1702 1703 1705 1708 1709 1711 1714 1723 1724"

check_fields() {  # label: every field of the table, the first given time to fill
  local id want what wait=15
  while IFS='|' read -r id want what; do
    vm_expect_poll "$1: $what ($id)" "$wait" "$want" field "$id"
    wait=3
  done <<<"$FIELDS"
}
check_empty() {  # label seconds ids...: each field empty within the time
  local label=$1 secs=$2 id; shift 2
  for id in "$@"; do vm_expect_poll "$label: field $id" "$secs" "" field "$id"; done
}

# Connect through the combo (a port choice may open the port dialog first:
# its OK keeps the settings it shows).
if vm_start_window; then
  vm_expect "link pane after choosing \"COM 5\"" "COM 5: 9600-8-N-1" "$(vm_choose_link "COM 5" "COM 5: 9600-8-N-1")"
  msg=$(poll 15 "~Monitoring " pane 1)
  if [[ $msg == "Monitoring "* && $msg == *SIM-1* ]]; then vm_pass "message pane = '$msg'"
  else vm_fail "message pane: expected 'Monitoring ...SIM-1...', got '$msg'"; fi
  check_fields "combo connect"
  vm_info "queries SIM-1 received: $(rx commands | cut -c1-400)"
  vm_shot velmaramon_live
  vm_close
  vm_expect "profile after a combo connect" "com=5 baud=9600 mode=1" \
    "com=$(reg_int com) baud=$(reg_int baud) mode=$(reg_int mode)"
  for k in ontop autoOutput spdUnits; do
    [ -n "$(reg_int "$k")" ] && vm_pass "profile has \"$k\"" || vm_fail "profile lacks \"$k\""
  done
fi

# MONITOR saved: the next start reconnects by itself.
if vm_start_window; then
  vm_expect_poll "link pane after a start in MONITOR" 15 "COM 5: 9600-8-N-1" pane 4
  check_fields "reconnect at start"
  # The receiver goes quiet: position, mode and status empty themselves.
  rx_ok drop 8 keep
  check_empty "receiver quiet" 8 $STALE_IDS
  rx_ok restore
  vm_expect_poll "fields back after the pause" 15 "N" field 1702
  # A double click disconnects: IDLE, fields empty.
  out=$(ui dblclick "$VM_TITLE")
  [[ $out == at=* ]] || vm_fail "double click: $out"
  vm_expect_poll "link pane after a double click" 2 "IDLE" pane 4
  check_empty "after disconnect" 2 $STALE_IDS 1719 1725 1733 1800
  vm_close
fi

# A port with no device behind it: back to IDLE with the message, and a
# command-line port never becomes the saved one.
for port in 7 9; do
  if vm_start_window -monitor "-c$port=9600,8,N,1,QBIN"; then
    vm_expect_poll "-c$port without a device: message" 10 "Can't initialize COM port!" pane 1
    vm_expect_poll "-c$port without a device: link pane" 5 "IDLE" pane 4
    vm_close
    vm_expect "saved port after a -c$port run" 5 "$(reg_int com)"
  fi
done

rx_ok silent purge
vm_finish
