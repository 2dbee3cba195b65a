#!/usr/bin/env bash
# The tool windows from the main window's commands: each launcher command
# twice opens its tool once; the tabbed tools come forward on the asked tab;
# a closed tool opens anew; raw data windows open as often as asked; "New
# Window..." opens "Monitor [1]" offset from the primary, and closing the
# primary asks before it ends both; the settings sheet shows its four
# pages; the GPS data combo opens the data window on its pages;
# "-flashloader" opens the loader. Each tool window is kept as a
# screenshot.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"

# The internal tools are shown when this folder exists.
export VELMARA_INTERNAL_SHARE='Z:\tmp'

# The windows with exactly this title, and the selected tab of a window's
# tab control.
count_titled() { win_count "$1"; }
tab_of() { tab_selected "$1" 1675; }
tool_shot() {  # title name
  local bmp=$VM_SCRATCH/$2.bmp
  if ui shot "$1" "$bmp" >/dev/null && convert "$bmp" "$VM_ARTIFACTS/$2.png" 2>/dev/null; then
    echo "screenshot: build/artifacts/$2.png"
  else
    vm_fail "screenshot $2 not saved"
  fi
}
command() { ui menu "$VM_TITLE" "$1" >/dev/null; }

vm_reset
vm_start_window || vm_finish

# ---- Each launcher twice: one window -------------------------------------------------
#   command | window title | screenshot name
while IFS='|' read -r id title shot; do
  [ -n "$id" ] || continue
  command "$id"
  if ! ui wait "$title" 10 >/dev/null; then
    vm_fail "$id did not open \"$title\""
    continue
  fi
  command "$id"
  sleep 0.3
  vm_expect "$id twice: windows titled \"$title\"" 1 "$(count_titled "$title")"
  [ -n "$shot" ] && tool_shot "$title" "launchers_$shot"
done <<'EOF'
32850|Generic Packets|generic_packets
32931|Load A-GPS Data To/From Receiver|upload_download
36010|Reset / Shutdown / Standby|shutdown_standby
32853|Position Map|position
32854|Position Map|
32852|Real-time Sky Plot|sky_plot
32855|Real-time Sky Plot|
32879|Protocol Tester|qbin_tester
32954|FlashLoader|flash_loader
32956|Data Recorder|data_recorder_tool
32955|TTFF Tester|ttff_tester
32914|WAAS Fast Corrections|fast_corrections
32915|Ionospheric Delay Corrections|iono_delay
32916|Receiver Version Information|version
32945|Receiver Configuration|rcvr_config
32946|Diagnostics|diagnostics
32964|Data Converter|
32979|Configurator|configurator
32951|GPS Receiver Detection|detect_receiver
32960|Release Notes / Revision History|release_notes
32962|Script Execution Status|script_status
32958|GPS System Data|gps_data
EOF

# ---- Tabbed tools on the asked tab ---------------------------------------------------------
ui close "Receiver Configuration" >/dev/null
ui gone "Receiver Configuration" 5 >/dev/null
command 32945
ui wait "Receiver Configuration" 10 >/dev/null
command 32944
vm_expect_poll "32945, 32944: receiver configuration on tab" 5 1 tab_of "Receiver Configuration"
vm_expect "32945, 32944: receiver configuration windows" 1 "$(count_titled "Receiver Configuration")"

ui close "GPS System Data" >/dev/null
ui gone "GPS System Data" 5 >/dev/null
command 32831
ui wait "GPS System Data" 10 >/dev/null
vm_expect_poll "32831: GPS data on tab" 5 1 tab_of "GPS System Data"
command 32833
vm_expect_poll "32831, 32833: GPS data on tab" 5 3 tab_of "GPS System Data"
vm_expect "32831, 32833: GPS data windows" 1 "$(count_titled "GPS System Data")"

# The tool bar's GPS data combo: each item opens its page, the combo returns
# to its caption.
ui close "GPS System Data" >/dev/null
ui gone "GPS System Data" 5 >/dev/null
while IFS='|' read -r item tab; do
  [ -n "$item" ] || continue
  ui combo "$VM_TITLE" 36009 "$item" >/dev/null
  vm_expect_poll "combo \"$item\": GPS data on tab" 10 "$tab" tab_of "GPS System Data"
  vm_expect_poll "combo \"$item\": combo back at its caption" 3 "GPS DATA" ui text "$VM_TITLE" 36009
done <<'EOF2'
HEALTH|1
UTC DATA|3
EPHEMERIS|2
IONO DATA|4
ALMANAC|0
EOF2
vm_expect "GPS data windows after the combo" 1 "$(count_titled "GPS System Data")"

# ---- Close, reopen: a new window -----------------------------------------------------------
before=$(ui wait "Generic Packets" 1)
ui close "Generic Packets" >/dev/null
if ui gone "Generic Packets" 5 >/dev/null; then vm_pass "Generic Packets closed"; else vm_fail "Generic Packets did not close"; fi
command 32850
after=$(ui wait "Generic Packets" 10)
vm_expect "reopened Generic Packets windows" 1 "$(count_titled "Generic Packets")"
if [ -n "$after" ] && [ "$after" != "$before" ]; then vm_pass "reopening made a new window ($before -> $after)"
else vm_fail "reopening did not make a new window ($before -> $after)"; fi

# ---- Raw data windows: one per command -------------------------------------------------------
for i in 1 2 3; do command 32863; done
vm_expect_poll "32863 thrice: raw data windows" 10 3 count_titled "Raw Data Monitor"

# ---- Settings sheet --------------------------------------------------------------------------
command 32925
if ui wait "Velmara GPS Monitor Settings" 10 >/dev/null; then
  vm_pass "32925 opened \"Velmara GPS Monitor Settings\""
  tool_shot "Velmara GPS Monitor Settings" launchers_settings
  vm_expect "settings pages" "General|Auto-Query|Automatic Update|Custom Products" \
    "$(tab_names "Velmara GPS Monitor Settings" class:SysTabControl32 | paste -sd'|')"
  ui close "Velmara GPS Monitor Settings" >/dev/null
  ui gone "Velmara GPS Monitor Settings" 5 >/dev/null || vm_fail "the settings sheet did not close"
else
  vm_fail "32925 did not open the settings sheet"
fi

# ---- A further main window -----------------------------------------------------------------------
vm_expect "primary on COM 5" "COM 5: 9600-8-N-1" "$(vm_choose_link "COM 5" "COM 5: 9600-8-N-1")"
command 32959
if ui wait "Monitor [1]" 15 >/dev/null; then
  vm_pass "32959 opened \"Monitor [1]\""
  vm_expect "32959 in \"Monitor [1]\" greyed" 1 "$(VM_MENU_WINDOW="Monitor [1]" menu_item 32959 greyed)"
  vm_expect "\"Monitor [1]\" on COM 12" "COM 12: 9600-8-N-1" \
    "$(VM_TITLE="Monitor [1]" vm_choose_link "COM 12" "COM 12: 9600-8-N-1")"
  vm_expect "the primary still on COM 5" "COM 5: 9600-8-N-1" "$(pane 4)"
  read -r px py _ <<<"$(win_rect "$VM_TITLE")"
  read -r sx sy _ <<<"$(win_rect "Monitor [1]")"
  vm_expect "\"Monitor [1]\" offset from the primary" "50,75" "$((sx - px)),$((sy - py))"
  tool_shot "Monitor [1]" launchers_new_window
  # Closing the primary asks; Yes ends both.
  ui close "$VM_TITLE" >/dev/null
  out=$(ui msgbox 10)
  text=$(sed -n 's/^text=//p' <<<"$out")
  case $text in
    "There are multiple monitor windows opened using"*) vm_pass "closing the primary asks: $text" ;;
    *) vm_fail "closing the primary: expected the multi-window question, got '$text'" ;;
  esac
  ui answer IDYES >/dev/null
  vm_wait_exit 15; code=$?
  if [ "$code" -eq 124 ]; then vm_fail "Yes did not end the program"; vm_kill; else vm_pass "Yes ended both windows"; fi
else
  vm_fail "32959 did not open \"Monitor [1]\""
  vm_close
fi

# ---- The loader's own start -------------------------------------------------------------------------
fw=$VM_SCRATCH/firmware.rfb
printf 'firmware image' >"$fw"
vm_reset
vm_start -flashloader -c5 "-file=$(zpath "$fw")"
if ui wait "FlashLoader" 20 >/dev/null; then
  vm_pass "-flashloader opened \"FlashLoader\""
  vm_expect "-flashloader: loader windows" 1 "$(count_titled "FlashLoader")"
else
  vm_fail "-flashloader did not open \"FlashLoader\""
fi
ui close "$VM_TITLE" >/dev/null
vm_wait_exit 15 || [ $? -ne 124 ] || { vm_fail "-flashloader run did not end on WM_CLOSE"; vm_kill; }

vm_finish
