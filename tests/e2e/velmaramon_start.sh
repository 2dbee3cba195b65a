#!/usr/bin/env bash
# How the monitor starts: with no arguments the main window in IDLE; a bad
# command line shows its message and ends without a window; a command line
# without a start mode ends silently; a script that cannot start says so and
# ends by itself; the tool modes keep or hide the window and open their tool.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset

# No arguments: the window, idle.
if vm_start_window; then
  vm_pass "window \"$VM_TITLE\" shown"
  vm_expect_poll "link pane" 10 "IDLE" pane 4
  vm_close
fi

# Command lines the program refuses: the message (or none), no window, and
# the program gone within 10 s of the message being answered.
#   args | message ("" = none may appear)
while IFS='|' read -r args message; do
  [ -n "$args" ] || continue
  read -r -a argv <<<"$args"
  vm_start "${argv[@]}"
  if [ -n "$message" ]; then
    out=$(ui msgbox 15)
    text=$(sed -n 's/^text=//p' <<<"$out")
    vm_expect "message for '$args'" "$message" "$text"
    vm_expect "message caption for '$args'" "$VM_TITLE" "$(sed -n 's/^title=//p' <<<"$out")"
    ui answer IDOK >/dev/null
  fi
  # Ended already (after its message): no window can follow.
  if kill -0 "$VM_PID" 2>/dev/null; then out=$(ui nowindow "$VM_TITLE" VelmaraMon.exe 10); else out="ended"; fi
  case $out in
    ended*|"not seen"*) vm_pass "'$args': no window, ended ($out)" ;;
    *) vm_fail "'$args': $out" ;;
  esac
  vm_wait_exit 5 || [ $? -ne 124 ] || vm_fail "'$args': process still running"
  vm_kill
done <<'EOF'
notanoption|
-c3=9600,8,N,1,QBIN|
-monitor -c3=9600,8,X,1,QBIN|Invalid parity.
-monitor -playback=missing.qbl|Invalid playback file.
EOF

# A script that exists but cannot run: the window tells so and ends by itself.
script=$VM_SCRATCH/query.txt
printf '!qzwprotcmd\n; nothing to do\n' >"$script"
if vm_start_window "-script=$(zpath "$script")"; then
  status=$(poll 10 "Failed to start the script! Exiting in 3 seconds..." pane 1)
  vm_expect "script status" "Failed to start the script! Exiting in 3 seconds..." "$status"
  start=$(date +%s%N)
  vm_wait_exit 10; code=$?
  if [ "$code" -eq 124 ]; then
    vm_fail "script run still running 10 s after its status"
    vm_kill
  else
    vm_pass "script run ended by itself"
    [ "$status" == "Failed to start the script! Exiting in 3 seconds..." ] && vm_info "script run ended $(( ($(date +%s%N) - start) / 1000000 )) ms after the status appeared"
  fi
fi

# Tool modes: the flash loader (by option or by the program's name) hides
# the main window and opens its tool window, found by its title. A build whose
# tool is still a windowless stand-in names its launcher in the trace
# instead; that passes with a note. (The converter's start is
# velmaramon_converter.sh's.)
fw=$VM_SCRATCH/firmware.rfb
printf 'firmware image' >"$fw"
flashdir=$VM_SCRATCH/flash
mkdir -p "$flashdir"
cp "$VM_EXE" "$flashdir/flashtest.exe"
#   exe | args | main window visible | tool window title | stand-in's launcher in the trace
while IFS='|' read -r exe args visible tool launcher; do
  [ -n "$exe" ] || continue
  vm_reset
  read -r -a argv <<<"$args"
  label="$(basename "$exe") $args"
  vm_start_exe "$exe" "${argv[@]}"
  # The window exists before it hides itself: wait for it hidden or shown.
  state=""
  for i in $(seq 100); do
    state=$(ui info "$VM_TITLE" | sed -n 's/^visible=//p')
    if [ "$visible" = 1 ] && [ "$state" = 1 ]; then break; fi
    if [ "$visible" = 0 ] && [ "$state" = 0 ]; then sleep 1; state=$(ui info "$VM_TITLE" | sed -n 's/^visible=//p'); break; fi
    sleep 0.1
  done
  vm_expect "'$label' window visible" "$visible" "$state"
  # The tool's window, or (a stand-in) its launcher in the trace.
  found=""
  for i in $(seq 25); do
    if [ "$(ui count "$tool")" != "count=0" ]; then found=window; break; fi
    if vm_trace | grep -qF "$launcher"; then found=trace; break; fi
    sleep 0.2
  done
  case $found in
    window)
      vm_expect "'$label' opens one \"$tool\"" "count=1" "$(ui count "$tool")"
      [ "$exe" = "$VM_EXE" ] && vm_shot velmaramon_start_flashloader "$tool"
      ui close "$tool" >/dev/null ;;
    trace) vm_pass "'$label' opens its tool (a stand-in without a window: the trace names $launcher)" ;;
    *) vm_fail "'$label' opened no \"$tool\" window; trace: $(vm_trace | tail -n 3 | tr '\n' ' ')" ;;
  esac
  ui close "$VM_TITLE" >/dev/null
  vm_wait_exit 10 || [ $? -ne 124 ] || vm_fail "'$label' did not end on WM_CLOSE"
  vm_kill
done <<EOF
$VM_EXE|-flashloader -c5 -file=$(zpath "$fw")|0|FlashLoader|ShowFlashLoaderDlg
$flashdir/flashtest.exe||0|FlashLoader|ShowFlashLoaderDlg
EOF

vm_finish
