#!/usr/bin/env bash
# The monitor's menu commands against the simulated receiver: rxsim on COM5
# plays SIM-1 with a velocity report (0x56, 3 m/s east, 4 m/s north). Resets
# and the factory-reset question, the display formats told to the receiver
# and shown once it reports them back (and only asked for when it never
# reported them), position formats, speed units, the position copy, the
# transfers, the context menus, a port from the port menu, the about box.
# Then the menu state: the access code, the internal-tools note, user mode
# kept over a restart, the protocol commands greying what a protocol lacks,
# and a timing receiver's View menu.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
[ -n "${RXSIM_COM5_CONTROL:-}" ] || { echo "FAIL: no rxsim on COM5"; exit 1; }

SIM1=$ROOT/tools/rxsim/scenarios/sim1.txt
# SIM-1 with the velocity report; further sed expressions change more.
sim1_moving() {
  rx_scenario_edited "$SIM1" 's/^periodic .*/periodic 41 84 46 6D 5C 1C 56/' '$a velocity 3.0 4.0 0.0' "$@"
}
# Commands of the popup menus (protocol, port): posted as their menu does.
vm_post() { ui menu "$VM_TITLE" "$1" >/dev/null; }
# The size "W H" of the first balloon on screen: an untitled window of the
# classes the program registers for its pop-ups.
balloon_size() {
  ui list "class:MonitorFrame:*" |
    sed -n 's/^[0-9]* hwnd=[^ ]* pid=[0-9]* rect=[-0-9]* [-0-9]* \([0-9]* [0-9]*\) class=[^ ]* title=$/\1/p' | head -n 1
}
# The clipboard's text without the blank the program's copy puts after it.
clip_trimmed() { clip_text | sed 's/ *$//'; }
# The commands rxsim received since the last call, one per line.
rx_commands() { rx commands | sed 's/^ok *//' | tr '\t' '\n'; }
expect_sent() {  # what bytes
  local got; got=$(rx_commands)
  if grep -qxF "$2" <<<"$got"; then vm_pass "$1 sent '$2'"; else vm_fail "$1: '$2' not among: $(echo "$got" | tr '\n' '|' | cut -c1-300)"; fi
}
expect_not_sent() {  # what prefix
  local got; got=$(rx_commands)
  if grep -q "^$2" <<<"$got"; then vm_fail "$1: sent '$(grep "^$2" <<<"$got" | head -1)'"; else vm_pass "$1 sent nothing starting '$2'"; fi
}
# Waits for a message box, checks its text and presses a button.
expect_box() {  # what text button
  local out text
  out=$(ui msgbox 5)
  text=$(sed -n 's/^text=//p' <<<"$out")
  vm_expect "$1" "$2" "$text"
  ui answer "$3" 5 >/dev/null
}
connect_com5() {
  vm_expect "link pane" "COM 5: 9600-8-N-1" "$(vm_choose_link "COM 5" "COM 5: 9600-8-N-1")"
  vm_expect_poll "receiver data" 15 "7.74.3" field "$(rid IDC_APP_VERSION)"
}
# Back to the scenario's I/O options (02 02 00 08): a fresh receiver, and the
# QBIN command asks it for its options again.
fresh_options() {
  sim1_moving
  vm_post 35034
  vm_expect_poll "velocity frame back to ENU" 10 "East" field "$(rid IDC_VEL_WORD1)"
  sleep 1
  rx_commands >/dev/null
}

sim1_moving
# ---- Receiver commands ---------------------------------------------------------------------
if vm_start_window; then
  connect_com5
  rx_commands >/dev/null
  while IFS='|' read -r id bytes what; do
    vm_command "$id" || continue
    sleep 1.5
    expect_sent "$what ($id)" "$bytes"
  done <<'EOF'
32787|10 1E 4B 10 03|cold reset
32788|10 1E 0E 10 03|warm reset
32789|10 25 10 03|hot reset
32927|10 1E 0D 10 03|semi-warm reset
32928|10 1E 0C 10 03|semi-hot reset
EOF
  sleep 2
  rx_commands >/dev/null
  q="Are you sure you want to perform a factory reset?\nThis will reset the receiver configuration to factory defaults."
  vm_command 32848 && expect_box "factory reset question" "$q" IDNO
  sleep 1
  expect_not_sent "factory reset answered No" "10 1E 46"
  vm_command 32848 && expect_box "factory reset question" "$q" IDYES
  sleep 1
  expect_sent "factory reset answered Yes" "10 1E 46 10 03"
  sleep 3

  # ---- Display formats: told to the receiver, shown after its report ------------------
  while IFS='|' read -r id bytes control want; do
    fresh_options
    vm_command "$id" || continue
    sleep 1
    expect_sent "format $id" "$bytes"
    want=${want%|}
    case $control in
      menu) vm_expect_poll "format $id: menu check" 10 "1" menu_item "$id" checked ;;
      *) vm_expect_poll "format $id: field $control" 10 "$want" field "$(rid "$control")" ;;
    esac
    if [ "$id" = 34002 ]; then vm_expect_poll "UTC time" 10 "Thu 01:01:45" field "$(rid IDC_TIME)"; fi
  done <<'EOF'
34012|10 35 02 01 00 08 10 03|IDC_VEL_WORD1|      X
34023|10 35 06 02 00 08 10 03|IDC_ALT_UNIT|m MSL
34002|10 35 02 02 01 08 10 03|IDC_GROUP_TIME|Time [UTC] |
32870|10 35 02 02 00 00 10 03|IDC_LEVEL_CAPTION|AMU
32857|10 35 12 02 00 08 10 03|menu|1
EOF
  vm_shot velmaramon_menus_formats
  fresh_options

  # ---- Position and speed formats, the copy -----------------------------------------------
  vm_command 34028
  vm_expect_poll "llaDec saved" 5 "1" reg_int llaDec
  vm_expect_poll "decimal latitude" 10 "47.500000000" field "$(rid IDC_LAT_VALUE)"
  vm_expect_poll "decimal longitude" 5 "-122.250000000" field "$(rid IDC_LON_VALUE)"
  while read -r id speed unit; do
    vm_command "$id"
    vm_expect_poll "speed unit $id" 5 "$unit" field "$(rid IDC_SPEED_UNIT)"
    vm_expect_poll "speed in $unit" 5 "$speed" field "$(rid IDC_SPEED_VALUE)"
  done <<'EOF'
34025 18.0 km/hr
34026 11.2 mi/hr
34027 5.0 m/s
EOF
  clip_clear
  vm_command 34029
  vm_expect_poll "position copied" 10 "47.500000000 -122.250000000 100.00" clip_trimmed

  # ---- Time from PC: the receiver never confirms it ----------------------------------------
  rx_commands >/dev/null
  vm_command 32829
  sleep 1
  got=$(rx_commands | grep '^10 2E ' | head -1)
  [ -n "$got" ] && vm_pass "time from PC sent '$got'" || vm_fail "time from PC: no 10 2E command"
  vm_expect_poll "set-time time-out" 5 "Could not set receiver time!" pane 1
  vm_expect_poll "set-time balloon" 5 "300 90" balloon_size

  # ---- Context menus ---------------------------------------------------------------------------
  # Groups by id: the time and velocity captions change with the formats.
  for c in IDC_GROUP_TIME IDC_GROUP_POSITION IDC_GROUP_VELOCITY IDC_GROUP_MODE IDC_GROUP_FIRMWARE pane:4 pane:2; do
    spec=$c
    [[ $c == IDC_* ]] && spec=$(rid "$c")
    vm_expect "context menu on $c" "1" "$(context_popup "$spec")"
  done
  vm_expect "no context menu on IDC_GROUP_DOPS" "0" "$(context_popup "$(rid IDC_GROUP_DOPS)")"

  # ---- A port from the port menu keeps the settings, without a dialog ------------------------
  vm_post 60012
  vm_expect_poll "COM 12 from the port menu" 10 "COM 12: 9600-8-N-1" pane 4
  if port_dialog_open; then vm_fail "a port dialog opened for 60012"; else vm_pass "no port dialog for 60012"; fi

  # ---- About -------------------------------------------------------------------------------------
  vm_command 32786
  if ui wait "About..." 5 >/dev/null; then
    vm_pass "about box open"
    vm_shot velmaramon_about "About..."
    ui click "About..." 36000 >/dev/null
    vm_expect "about box closed by Close" "gone=About..." "$(ui gone "About..." 5)"
  else
    vm_fail "about box did not open"
  fi
  vm_close
fi

# ---- Unreported options are asked for, not overwritten ----------------------------------------
sim1_moving
rx_ok silent 35
if vm_start_window; then
  connect_com5
  rx_commands >/dev/null
  before=$(field "$(rid IDC_GROUP_TIME)")
  vm_command 34002
  sleep 1.5
  got=$(rx_commands | grep '^10 35' | sort -u | tr '\n' '|')
  vm_expect "34002 without reported options" "10 35 10 03|" "$got"
  vm_expect "time caption unchanged" "$before" "$(field "$(rid IDC_GROUP_TIME)")"
  vm_close
fi
rx_ok silent off

# ---- IDLE: a transfer needs a receiver --------------------------------------------------------
if vm_start_window; then
  vm_command 32824 && expect_box "almanac load in IDLE" \
    "Please, establish connection to a GPS receiver before loading data..." IDOK
  vm_close
fi

# ---- Access code, internal-tools note, user mode -----------------------------------------------
PW="Enter Password:"
enter_code() {  # code
  ui settext "$PW" "$(rid IDC_PASSWORD_EDIT)" "$1" >/dev/null
  ui click "$PW" 1 post >/dev/null
}
if vm_start_window; then
  vm_expect "user layout at a fresh start" "absent=32919" "$(menu_item 32919)"
  ui menu "$VM_TITLE" 32911 >/dev/null
  if ui wait "$PW" 5 >/dev/null; then
    vm_shot velmaramon_password "$PW"
    enter_code Quillnomad
    expect_box "wrong code" "Incorrect Password!" IDOK
    vm_expect "field emptied" "" "$(ui text "$PW" "$(rid IDC_PASSWORD_EDIT)")"
    vm_expect "dialog still open" "visible=1" "$(ui info "$PW" | grep '^visible=')"
    enter_code quillnomad
    vm_expect "dialog closed" "gone=$PW" "$(ui gone "$PW" 5)"
  else
    vm_fail "\"$PW\" did not open"
  fi
  vm_expect_poll "internal layout: Data Playback at 0/1" 5 "32919" menu_at 0/1 id
  vm_expect "internal tools note at 4/6" "= Internal Tools =" "$(menu_at 4/6 text)"
  vm_expect "bPassOk saved" "1" "$(reg_int bPassOk)"
  vm_shot velmaramon_menus_internal
  vm_command 32992
  vm_expect_poll "internal tools balloon" 5 "360 170" balloon_size
  vm_shot velmaramon_internal_note
  ui menu "$VM_TITLE" 32953 >/dev/null
  expect_box "user mode" "User mode enabled!\n\nThe program now acts as if it is used by a \nuser not connected to the Velmara network." IDOK
  vm_expect_poll "user layout after user mode" 5 "absent=32919" menu_item 32919
  vm_expect "bPassOk kept in user mode" "1" "$(reg_int bPassOk)"
  vm_close
fi
if vm_start_window; then
  vm_expect_poll "internal layout after a restart" 10 "32919" menu_at 0/1 id
  ui menu "$VM_TITLE" 32911 >/dev/null
  if ui wait "$PW" 5 >/dev/null; then
    ui click "$PW" 2 post >/dev/null
    ui gone "$PW" 5 >/dev/null
  fi
  vm_expect_poll "Cancel: user layout" 5 "absent=32919" menu_item 32919
  vm_expect "Cancel: bPassOk cleared" "0" "$(reg_int bPassOk)"
  vm_close
fi

# ---- Protocol commands grey what the protocol lacks ---------------------------------------------
sim1_moving
if vm_start_window; then
  connect_com5
  # The receiver stays but says nothing, so no frame makes the link follow it.
  rx_ok silent all
  vm_post 35037
  for id in 32787 32788 32789; do vm_expect_poll "QOP greys $id" 5 "1" menu_item "$id" greyed; done
  vm_expect "QOP disables the GPS data combo" "0" "$(ctl_enabled "$VM_TITLE" 36009)"
  vm_expect "QOP disables the velocity group" "0" "$(ctl_enabled "$VM_TITLE" "$(rid IDC_GROUP_VELOCITY)")"
  vm_shot velmaramon_menus_qop
  vm_post 35035
  for p in 2/3 2/4 2/5 2/6; do vm_expect_poll "NMEA greys View $p" 5 "1" menu_at "$p" greyed; done
  vm_expect "NMEA greys 32857" "1" "$(menu_item 32857 greyed)"
  vm_post 35034
  for id in 32787 32789 32857; do vm_expect_poll "QBIN enables $id" 5 "0" menu_item "$id" greyed; done
  for p in 2/3 2/6 2/9; do vm_expect "QBIN enables View $p" "0" "$(menu_at "$p" greyed)"; done
  vm_expect "QBIN enables the GPS data combo" "1" "$(ctl_enabled "$VM_TITLE" 36009)"
  rx_ok silent off
  vm_close
fi

# ---- A timing receiver ------------------------------------------------------------------------------
sim1_moving 's/^product 20070315 4500 /product 20070315 3001 /'
if vm_start_window; then
  connect_com5
  vm_expect_poll "timing receiver window" 15 "count=1" ui count "Timing Receiver Status & Control"
  vm_expect_poll "user layout: Timing Receiver at 2/13" 10 "&Timing Receiver..." menu_at 2/13 text
  vm_expect "no Double Precision" "absent=32857" "$(menu_item 32857)"
  vm_shot velmaramon_menus_timing
  vm_close
fi

rx_ok silent purge
vm_finish
