#!/usr/bin/env bash
# The "Raw Data Monitor" on a live link: rxsim on COM5 without a receiver
# behind it, so the window sees only what the test has rxsim say and what
# the program sends. Identifier lines of rxsim's mixed script in order (the
# lines tests/data/rawmon_mixed_ids.txt keeps, checked natively against the
# formatter), a sent reset command in both forms, Pause and Resume, Clear,
# Copy with its balloon, two windows with the same lines, and a stress run:
# two windows while rxsim floods at 115200 and the link goes IDLE and back
# twenty times.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }

RAW="Raw Data Monitor"
ID_RAW_WND=$(rid ID_RAW_DATA_WND)
ID_RESET_COLD=$(rid ID_RESET_COLD)
C_TEXT=$(rid IDC_RAW_TEXT)
C_RECEIVED=$(rid IDC_RAW_SHOW_RECEIVED)
C_SENT=$(rid IDC_RAW_SHOW_SENT)
C_IDS=$(rid IDC_RAW_IDS_ONLY)
C_PAUSE=$(rid IDC_RAW_PAUSE)
C_CLEAR=$(rid IDC_RAW_CLEAR)
C_COPY=$(rid IDC_RAW_COPY)
MIXED_IDS=$ROOT/tests/data/rawmon_mixed_ids.txt
MIXED_COUNT=$(wc -l <"$MIXED_IDS")

# The lines of a raw window's list (window spec, default the first).
raw_lines() { ctl_lines "${1:-$RAW}" "$C_TEXT" | sed '/^$/d'; }
raw_count() { raw_lines "${1:-$RAW}" | wc -l | tr -d ' '; }
raw_clear() { ui click "${1:-$RAW}" "$C_CLEAR" >/dev/null; }
raw_check() { ui check "$1" "$2" "$3" >/dev/null; }  # window control 0|1
# Has rxsim say one round of the mixed script and waits until it is out.
say_mixed() {
  rx_ok script mixed 1
  rx wait 5000 >/dev/null
}
# The window's lines against the kept identifier lines of one round.
expect_mixed_ids() {  # what window
  local got
  got=$(poll 10 "$MIXED_COUNT" raw_count "$2")
  if [ "$got" = "$MIXED_COUNT" ] && diff <(raw_lines "$2") "$MIXED_IDS" >"$VM_SCRATCH/mixed.diff"; then
    vm_pass "$1: the $MIXED_COUNT identifier lines of the mixed script, in order"
  else
    vm_fail "$1: $got lines, differing from $MIXED_IDS: $(head -c 600 "$VM_SCRATCH/mixed.diff")"
  fi
}
has_lines() { [ "$(raw_count "${1:-$RAW}")" -gt 0 ] && echo 1 || echo 0; }
has_line() {  # window text: 1 when the list holds exactly that line
  raw_lines "$1" | grep -Fxq -- "$2" && echo 1 || echo 0
}
# A balloon of the program, W x H: while the main window's balloon members
# only leave a trace line, that line.
balloon_shown() {  # text width height: 1 or 0
  if vm_trace | grep -Fq "ShowBalloonOverWindow $1" || vm_balloons | grep -q " $2 $3\$"; then echo 1; else echo 0; fi
}

rx_ok silent purge
rx_ok reset

if vm_start_window; then
  vm_expect "link pane after choosing \"COM 5\"" "COM 5: 9600-8-N-1" "$(vm_choose_link "COM 5" "COM 5: 9600-8-N-1")"
  vm_command "$ID_RAW_WND"
  vm_expect_count "raw data windows after $ID_RAW_WND" "$RAW" 1
  vm_expect "\"Show received data\" at the start" 1 "$(ctl_checked "$RAW" "$C_RECEIVED")"
  vm_expect "\"Show sent data\" at the start" 0 "$(ctl_checked "$RAW" "$C_SENT")"
  vm_expect "\"Display packet IDs only\" at the start" 0 "$(ctl_checked "$RAW" "$C_IDS")"

  # Identifiers only: one line per frame the reader passes on, in order.
  raw_check "$RAW" "$C_IDS" 1
  raw_clear
  say_mixed
  expect_mixed_ids "ids only, script mixed" "$RAW"
  vm_shot velmaramon_rawmon "$RAW"

  # Full lines of frames: hex for QBIN, the sentence without CR LF for NMEA.
  raw_check "$RAW" "$C_IDS" 0
  raw_clear
  rx_ok send 10 46 00 00 10 03
  rx_ok send 24 47 50 47 47 41 2C 2A 37 41 0D 0A
  vm_expect_poll "full QBIN line" 10 1 has_line "$RAW" "10 46 00 00 10 03 "
  vm_expect_poll "full NMEA line" 5 1 has_line "$RAW" '$GPGGA,*7A'

  # Sent commands only: the cold reset as the receiver reads it.
  raw_check "$RAW" "$C_RECEIVED" 0
  raw_check "$RAW" "$C_SENT" 1
  raw_check "$RAW" "$C_IDS" 1
  raw_clear
  vm_command "$ID_RESET_COLD"
  vm_expect_poll "sent reset, identifier line" 10 1 has_line "$RAW" "Packet ID: 0x1E     Data Length: 1"
  raw_check "$RAW" "$C_IDS" 0
  vm_command "$ID_RESET_COLD"
  vm_expect_poll "sent reset, full line" 10 1 has_line "$RAW" "10 1E 4B 10 03 "
  vm_expect "received frames stay out with \"Show received data\" off" 0 "$(has_line "$RAW" "10 46 00 00 10 03 ")"

  # Pause and Resume.
  raw_check "$RAW" "$C_SENT" 0
  raw_check "$RAW" "$C_RECEIVED" 1
  raw_check "$RAW" "$C_IDS" 1
  ui click "$RAW" "$C_PAUSE" >/dev/null
  vm_expect "Pause button while paused" "Resume" "$(ui text "$RAW" "$C_PAUSE")"
  raw_clear
  say_mixed
  sleep 1
  vm_expect "lines while paused" 0 "$(raw_count)"
  ui click "$RAW" "$C_PAUSE" >/dev/null
  vm_expect "Pause button after Resume" "Pause" "$(ui text "$RAW" "$C_PAUSE")"
  say_mixed
  expect_mixed_ids "after Resume" "$RAW"

  # Copy: everything when nothing is selected, and a balloon says so.
  clip_clear
  ui click "$RAW" "$C_COPY" >/dev/null
  if diff <(clip_text | sed -e 's/ *$//' -e '/^$/d') <(sed 's/ *$//' "$MIXED_IDS") >"$VM_SCRATCH/clip.diff"; then
    vm_pass "Copy puts the window's lines on the clipboard"
  else
    vm_fail "clipboard after Copy: $(head -c 400 "$VM_SCRATCH/clip.diff")"
  fi
  vm_expect_poll "balloon \"Data copied to clipboard!\" (230x80)" 3 1 balloon_shown "Data copied to clipboard!" 230 80

  # Clear.
  raw_clear
  vm_expect_poll "lines after Clear" 3 0 raw_count

  # A second window: both list the same frames.
  vm_command "$ID_RAW_WND"
  vm_expect_count "raw data windows after a second $ID_RAW_WND" "$RAW" 2
  for w in "$RAW#0" "$RAW#1"; do
    raw_check "$w" "$C_IDS" 1
    raw_clear "$w"
  done
  say_mixed
  expect_mixed_ids "first of two windows" "$RAW#0"
  expect_mixed_ids "second of two windows" "$RAW#1"

  vm_close
fi

# FILE mode: a window opened during a playback shows how to see its data; a
# playback faster than 500 lists nothing, one at 500 with raw data
# pass-through lists its frames.
PLAY="Data Playback"
C_PLAY_FILE=$(rid IDC_PLAY_FILE)
C_PLAY_SPEED=$(rid IDC_PLAY_SPEED)
C_PLAY_PASS=$(rid IDC_PLAY_RAW_PASS)
C_PLAY_START=$(rid IDC_PLAY_START)
HINT="To view raw data while playback is in progress, you must set the playback speed to less than 500 and enable raw data pass-through on the Playback window."
play() {  # speed: starts the bundled recording at that speed
  ui settext "$PLAY" "$C_PLAY_SPEED" "$1" >/dev/null
  ui click "$PLAY" "$C_PLAY_START" >/dev/null
  POLL_SLEEP=0.05 poll 5 "FILE" pane 4 >/dev/null
}
played_out() { vm_expect_poll "$1: playback ended" 60 "IDLE" pane 4; }
vm_reset
reg_set bPassOk 1
rx_ok silent purge
if vm_start_window; then
  ( ui combo "$VM_TITLE" 36004 FILE >/dev/null & )
  if ui wait "$PLAY" 15 >/dev/null; then
    ui settext "$PLAY" "$C_PLAY_FILE" "$(zpath tests/data/velmara_demo.qbl)" >/dev/null
    ui check "$PLAY" "$C_PLAY_PASS" 1 >/dev/null
    play 20
    vm_command "$ID_RAW_WND"
    vm_expect_count "raw data window during a playback" "$RAW" 1
    vm_expect_poll "FILE-mode hint balloon (350x160)" 3 1 balloon_shown "$HINT" 350 160
    vm_expect_poll "lines at speed 20 with pass-through" 10 1 has_lines
    ui click "$PLAY" "$C_PLAY_START" >/dev/null
    vm_expect_poll "link pane after Stop" 5 "IDLE" pane 4
    raw_clear
    play 1000
    played_out "speed 1000"
    vm_expect "lines of a playback at 1000" 0 "$(raw_count)"
    play 500
    played_out "speed 500"
    n=$(raw_count)
    [ "$n" -gt 0 ] && vm_pass "lines of a playback at 500: $n" || vm_fail "no lines of a playback at 500"
    # Two more: the window empties itself at the 5000th line, then goes on.
    if [ "$n" -gt 0 ] && [ $((3 * n)) -gt 4999 ] && [ $((3 * n)) -le 9998 ]; then
      play 500
      played_out "second playback at 500"
      play 500
      played_out "third playback at 500"
      # About 3n - 4999: the first frames of a replay may go by before raw
      # pass-through is switched on (it is set once the reader runs), so a
      # playback's count varies by a few.
      m=$(raw_count)
      want=$((3 * n - 4999))
      if [ "$m" -ge $((want - 50)) ] && [ "$m" -le $((want + 50)) ]; then
        vm_pass "after three playbacks of about $n lines the window holds $m (about $want: emptied at the 5000th)"
      else
        vm_fail "after three playbacks of about $n lines the window holds $m, not about $want"
      fi
    fi
  else
    vm_fail "\"FILE\" opened no \"$PLAY\""
  fi
  vm_close
fi

# Stress: two windows of full lines while rxsim floods the link at 115200 and
# the link goes IDLE and back to MONITOR twenty times.
vm_reset
reg_set com 5
reg_set baud 115200
reg_set mode 0
rx_ok silent purge
rx_ok reset
if vm_start_window; then
  LINK="COM 5: 115200-8-N-1"
  vm_expect "link pane at 115200" "$LINK" "$(vm_choose_link "COM 5" "$LINK")"
  vm_command "$ID_RAW_WND"
  vm_command "$ID_RAW_WND"
  vm_expect_count "raw data windows for the stress run" "$RAW" 2
  rx_ok flood on
  slow=0
  for i in $(seq 1 20); do
    ui dblclick "$VM_TITLE" >/dev/null
    got=$(poll 2 "IDLE" pane 4)
    [ "$got" = "IDLE" ] || { slow=$((slow + 1)); vm_info "toggle $i: pane '$got' 2 s after going IDLE"; }
    ui dblclick "$VM_TITLE" >/dev/null
    got=$(poll 2 "$LINK" pane 4)
    [ "$got" = "$LINK" ] || { slow=$((slow + 1)); vm_info "toggle $i: pane '$got' 2 s after going back"; }
  done
  vm_expect "IDLE <-> MONITOR toggles that took over 2 s" 0 "$slow"
  sleep 2
  rx_ok flood off
  for w in "$RAW#0" "$RAW#1"; do
    n=$(ctl_linecount "$w" "$C_TEXT")
    if [ -n "$n" ] && [ "$n" -ge 1 ] && [ "$n" -le 4999 ]; then vm_pass "$w after the flood: $n lines (at most 4999)"
    else vm_fail "$w after the flood: '$n' lines"; fi
  done
  if kill -0 "$VM_PID" 2>/dev/null; then vm_pass "program alive after the stress run"; else vm_fail "program ended during the stress run"; fi
  vm_shot velmaramon_rawmon_stress "$RAW#0"
  vm_close
fi

vm_finish
