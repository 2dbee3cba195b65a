#!/usr/bin/env bash
# The monitor on receivers that speak other protocols than QBIN, each started
# from the command line on COM5 with rxsim as the receiver: the maker's NMEA
# receiver (tools/rxsim/scenarios/nmea-maker.txt), a real NMEA recording
# looped from the corpus, a QTXT and a KESTO receiver. The main window shows
# their position, their speed and heading in the speed-and-heading layout,
# and, for NMEA, the firmware version the receiver names when asked.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }
SCENARIOS=$ROOT/tools/rxsim/scenarios
# Read where it lies, never copied into the tree.
CORPUS=${CORPUS_DIR:-$ROOT/../shared/corpus/gnss}

# The position every scenario sends: 47 deg 30' N, 122 deg 15' W.
POSITION="1702|N|latitude hemisphere
1703|47|latitude degrees
1705|30.00000'|latitude minutes
1708|W|longitude hemisphere
1709|122|longitude degrees
1711|15.00000'|longitude minutes"

# The speed-and-heading layout: caption and the labels of its rows.
expect_speed_heading_layout() {  # label word2 word3
  vm_expect_poll "$1: velocity caption" 3 "Speed and Heading" eval "field 1268 | sed 's/ *$//'"
  vm_expect "$1: first row" "Speed" "$(field 1177)"
  vm_expect "$1: second row" "$2" "$(field 1178)"
  vm_expect "$1: third row" "$3" "$(field 1179)"
}

# The maker's NMEA receiver: position, fix mode from its GSA (four
# satellites), speed and course, and the firmware version of its "$PZULRVR"
# answer to the version query the monitor sends once it hears the receiver.
# The scenario's GGA reports a DGPS fix (the link tests read its mode);
# here a plain fix keeps ", DGPS" out of the mode field.
rx_scenario_edited "$SCENARIOS/nmea-maker.txt" 's/^fix 2 /fix 1 /'
if vm_start_window -monitor -c5=4800,8,N,1,NMEA; then
  vm_expect_poll "NMEA: link pane" 10 "COM 5: 4800-8-N-1" pane 4
  vm_expect_fields "NMEA" 15 <<<"$POSITION
1723|3-D, Auto (4 SV)|fix mode
1193|18.520|speed km/h
1194|90.0|heading"
  expect_speed_heading_layout "NMEA" "Heading" "n/a"
  vm_expect_fields "NMEA after the version answer" 10 <<'EOF'
1733|7.74.3|firmware version
1734|03/15/07|firmware date
EOF
  commands=$(rx commands)
  if [[ $commands == *'$PZULQVR,S*39'* ]]; then vm_pass "NMEA: the receiver was asked for its version"
  else vm_fail "NMEA: no version query among '${commands:0:400}'"; fi
  vm_shot velmaramon_nmea
  vm_close
fi

# A real receiver's recording (a SiRF receiver near Hamilton, New Zealand)
# looped at about four times its pace (25 s of sentences in 6 s): the window
# follows them.
log=$CORPUS/bu353s4.log
if [ -r "$log" ]; then
  rx_ok silent purge
  rx_ok replay "$(readlink -f "$log")" 1000 loop
  rx_ok reset
  if vm_start_window -monitor -c5=4800,8,N,1,NMEA; then
    vm_expect_fields "bu353s4.log" 20 <<'EOF'
1702|S|latitude hemisphere
1703|37|latitude degrees
1708|E|longitude hemisphere
1709|175|longitude degrees
EOF
    vm_shot velmaramon_nmea_bu353s4
    vm_close
  fi
else
  echo "SKIP: recording run (no corpus at $CORPUS)"
fi

# QTXT: the long navigation report gives position, speed (mph), vertical
# speed and heading. The scenario's receiver reports status 0C ("chosen SV
# unusable"), under which the auto-query hides positions; this one is healthy.
rx_scenario_edited "$SCENARIOS/qtxt-fix.txt" 's/^status 0C /status 00 /'
if vm_start_window -monitor -c5=9600,8,N,1,QTXT; then
  vm_expect_poll "QTXT: link pane" 10 "COM 5: 9600-8-N-1" pane 4
  vm_expect_fields "QTXT" 15 <<<"$POSITION
1193|11.5|speed mph
1194|0.0|vertical speed mph
1195|90.0|heading"
  expect_speed_heading_layout "QTXT" "Vert. Spd" "Heading"
  vm_shot velmaramon_qtxt
  vm_close
fi

# KESTO: the navigation packet gives position, speed and heading, and no
# vertical speed (third row "n/a"); its tracking packets mark the satellites
# the module uses.
rx_scenario "$SCENARIOS/kesto-fix.txt"
if vm_start_window -monitor -c5=9600,8,N,1,KESTO; then
  vm_expect_poll "KESTO: link pane" 10 "COM 5: 9600-8-N-1" pane 4
  vm_expect_fields "KESTO" 15 <<<"$POSITION
1193|18.504|speed km/h
1194|90.0|heading
1800|5|channel 0 satellite"
  expect_speed_heading_layout "KESTO" "Heading" "n/a"
  vm_shot velmaramon_kesto
  vm_close
fi

rx_ok silent purge
vm_finish
