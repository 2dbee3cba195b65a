#!/usr/bin/env bash
# The port settings and playback dialogs as a user meets them.
# Port: a choice in the link combo opens "Select Port & Settings..." with the
# port chosen; a preset and the combos set what OK connects with, and the
# profile keeps it; Cancel leaves the mode; automatic detection (which this
# build cannot start) is refused 1.5 s after OK, and a detection on the port
# being monitored takes the link down, which Cancel brings back.
# Playback: "FILE" opens "Data Playback" with the stored markers; the bundled
# recording plays to its end; a recording of 40,000,000 bytes gives the bar a
# range of 39062 kilobytes; Stop never looks at the fields.
# Screenshots of both dialogs go to build/artifacts/.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }
rx_ok silent purge
rx_ok scenario load "$ROOT/tools/rxsim/scenarios/sim1.txt"
rx_ok reset

PORT_TITLE="Select Port & Settings..."
PLAY_TITLE="Data Playback"
CANNOT_DETECT="Failed to initilize automatic receiver detection!"

dshot() {  # title name: a dialog as build/artifacts/NAME.png
  local bmp=$VM_SCRATCH/$2.bmp
  if ui shot "$1" "$bmp" >/dev/null && convert "$bmp" "$VM_ARTIFACTS/$2.png" 2>/dev/null; then
    echo "screenshot: build/artifacts/$2.png"
  else
    vm_fail "screenshot $2 not saved"
  fi
}
ptext() { ui text "$PORT_TITLE" "$1"; }
dtext() { ui text "$PLAY_TITLE" "$1"; }
reg_str() {  # name: a string of the profile, "" when it is not there
  wine reg query "$VM_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" 'tolower($1) == tolower(n) && $2 == "REG_SZ" { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}

# Chooses ITEM in the link combo; the port dialog it opens is modal, so the
# driver does not wait for the selection's handler.
choose() {  # item
  ( ui combo "$VM_TITLE" 36004 "$1" >/dev/null & )
}
open_port_dialog() {  # item: true when the dialog came
  choose "$1"
  if ui wait "$PORT_TITLE" 15 >/dev/null; then vm_pass "\"$1\" opened \"$PORT_TITLE\""; return 0; fi
  vm_fail "\"$1\" opened no \"$PORT_TITLE\""
  return 1
}
# Checks auto-detect, presses OK and expects the refusal 1.5 s later.
detect_refused() {
  ui check "$PORT_TITLE" 1789 1 >/dev/null
  ( ui click "$PORT_TITLE" 1 >/dev/null & )
  local start box
  start=$(date +%s%N)
  box=$(ui msgbox 10)
  if [[ $box == *"text=$CANNOT_DETECT"* ]]; then
    vm_pass "auto-detect refused after $(( ($(date +%s%N) - start) / 1000000 )) ms"
  else
    vm_fail "auto-detect: expected \"$CANNOT_DETECT\", got '$box'"
  fi
  ui answer IDOK 5 >/dev/null
}

# ---- Port settings ------------------------------------------------------------------

vm_reset
if vm_start_window; then
  vm_expect_poll "link pane at start" 10 "IDLE" pane 4

  # A preset, then 7 data bits and 2 stop bits: OK connects with them.
  if open_port_dialog "COM 5"; then
    vm_expect "port selected" "COM 5" "$(ptext 1022)"
    ui menu "$PORT_TITLE" 32891 >/dev/null
    vm_expect_poll "baud after preset 32891" 3 "115200" ptext 1363
    vm_expect "parity after preset 32891" "None" "$(ptext 1364)"
    ui combo "$PORT_TITLE" 1753 "7" >/dev/null
    ui combo "$PORT_TITLE" 1754 "2" >/dev/null
    dshot "$PORT_TITLE" velmaramon_port_settings
    ( ui click "$PORT_TITLE" 1 >/dev/null & )
    ui gone "$PORT_TITLE" 10 >/dev/null && vm_pass "OK closed the dialog" || vm_fail "OK left the dialog open"
    vm_expect_poll "link pane after OK" 15 "COM 5: 115200-7-N-2" pane 4
  fi
  vm_close
  vm_expect "profile after OK" "com=5 baud=115200 databits=7 stopbits=2" \
    "com=$(reg_int com) baud=$(reg_int baud) databits=$(reg_int databits) stopbits=$(reg_int stopbits)"
fi

vm_reset
if vm_start_window; then
  vm_expect_poll "link pane at start" 10 "IDLE" pane 4
  # Cancel in IDLE changes nothing.
  if open_port_dialog "COM 12"; then
    ( ui click "$PORT_TITLE" 2 >/dev/null & )
    ui gone "$PORT_TITLE" 10 >/dev/null
    vm_expect_poll "link pane after Cancel" 5 "IDLE" pane 4
  fi
  # This build's detector cannot start: refused, then Cancel.
  if open_port_dialog "COM 12"; then
    detect_refused
    vm_expect_poll "OK enabled again: preset 9600" 5 "9600" ptext 1363
    ( ui click "$PORT_TITLE" 2 >/dev/null & )
    ui gone "$PORT_TITLE" 10 >/dev/null
    vm_expect_poll "link pane after a refused detection" 5 "IDLE" pane 4
  fi

  # On the port being monitored the link goes down for the detection and
  # comes back with Cancel.
  if open_port_dialog "COM 5"; then
    ( ui click "$PORT_TITLE" 1 >/dev/null & )
    ui gone "$PORT_TITLE" 10 >/dev/null
    vm_expect_poll "monitoring COM 5" 15 "COM 5: 9600-8-N-1" pane 4
    if open_port_dialog "COM 5"; then
      ui check "$PORT_TITLE" 1789 1 >/dev/null
      ( ui click "$PORT_TITLE" 1 >/dev/null & )
      vm_expect_poll "link down for the detection" 5 "IDLE" pane 4
      box=$(ui msgbox 10)
      [[ $box == *"text=$CANNOT_DETECT"* ]] && vm_pass "refusal shown" || vm_fail "refusal: got '$box'"
      ui answer IDOK 5 >/dev/null
      ( ui click "$PORT_TITLE" 2 >/dev/null & )
      ui gone "$PORT_TITLE" 10 >/dev/null
      vm_expect_poll "Cancel reconnects" 15 "COM 5: 9600-8-N-1" pane 4
    fi
  fi
  vm_close
fi

# ---- Playback ------------------------------------------------------------------------

vm_reset
reg_set bPassOk 1
demo=tests/data/velmara_demo.qbl
# 40,000,000 bytes that start with the bundled recording: played in real
# time, its one-second markers keep it running while the test looks.
big=$VM_SCRATCH/forty_million.log
cp "$demo" "$big" && truncate -s 40000000 "$big"
if vm_start_window; then
  choose FILE
  if ui wait "$PLAY_TITLE" 15 >/dev/null; then
    vm_pass "\"FILE\" opened \"$PLAY_TITLE\""
    while IFS='|' read -r id want what; do
      vm_expect "$what ($id)" "$want" "$(dtext "$id")"
    done <<'TABLE'
1368|6D|QBIN marker
1372|31|KESTO code
1373|01|KESTO sub-code
1369|GGA|NMEA marker
1371|LN|QTXT marker
1370|Ha|QOP marker
1367|1000|speed
36001|Start|button
TABLE
    dshot "$PLAY_TITLE" velmaramon_playback

    # The bundled recording, slowed so its running state can be read.
    ui settext "$PLAY_TITLE" 1366 "$(zpath "$demo")" >/dev/null
    ui settext "$PLAY_TITLE" 1367 20 >/dev/null
    ui click "$PLAY_TITLE" 36001 >/dev/null
    POLL_SLEEP=0.05 vm_expect_poll "button while playing" 5 "Stop" dtext 36001
    vm_expect_poll "link pane while playing" 5 "FILE" pane 4
    vm_expect_poll "button after the end" 120 "Start" dtext 36001
    vm_expect "percentage at the end" "100%" "$(dtext 1584)"
    bar=$(ui progress "$PLAY_TITLE" 1583)
    pos=${bar#pos=}; pos=${pos%% *}; high=${bar##*high=}
    [ -n "$pos" ] && [ "$pos" = "$high" ] && vm_pass "bar full ($bar)" || vm_fail "bar not full: $bar"
    vm_expect_poll "message pane" 5 "Playback finished." pane 1
    vm_expect_poll "link pane" 5 "IDLE" pane 4
    saved=$(reg_str playbackFile)
    [[ $saved == *velmara_demo.qbl ]] && vm_pass "playbackFile saved ($saved)" || vm_fail "playbackFile: '$saved'"

    # A 40,000,000-byte recording: the bar counts kilobytes.
    ui settext "$PLAY_TITLE" 1366 "$(zpath "$big")" >/dev/null
    ui settext "$PLAY_TITLE" 1367 1 >/dev/null
    ui click "$PLAY_TITLE" 36001 >/dev/null
    vm_expect_poll "button while playing" 5 "Stop" dtext 36001
    bar=$(ui progress "$PLAY_TITLE" 1583)
    vm_expect "bar limit for 40,000,000 bytes" "39062" "${bar##*high=}"
    # Stop never looks at the fields: an invalid marker says nothing.
    ui settext "$PLAY_TITLE" 1368 00 >/dev/null
    ui click "$PLAY_TITLE" 36001 >/dev/null
    if box=$(ui msgbox 2); then
      vm_fail "Stop with \"00\" showed a message box: $box"
      ui answer IDOK 5 >/dev/null
    else
      vm_pass "Stop with \"00\" showed nothing"
    fi
    vm_expect_poll "link pane after Stop" 5 "IDLE" pane 4
    vm_expect "button after Stop" "Start" "$(dtext 36001)"
    # Start now refuses the marker and changes nothing.
    ( ui click "$PLAY_TITLE" 36001 >/dev/null & )
    box=$(ui msgbox 5)
    [[ $box == *"text=Invalid QBIN marker specified!"* ]] && vm_pass "Start refuses \"00\"" || vm_fail "Start with \"00\": '$box'"
    ui answer IDOK 5 >/dev/null
    vm_expect_poll "link pane after the refusal" 5 "IDLE" pane 4
  else
    vm_fail "\"FILE\" opened no \"$PLAY_TITLE\""
  fi
  vm_close
fi
rm -f "$big"
vm_finish
