#!/usr/bin/env bash
# FILE mode: "-monitor -playback=<log>" plays the bundled recording at full
# speed with the window attached, shows its progress, and ends by itself at
# the end. Prints the playback rate (a benchmark figure, not asserted).
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
vm_reset
log=tests/data/velmara_demo.qbl
size=$(stat -c %s "$log")

vm_start -monitor "-playback=$(zpath "$log")"
if ui wait "$VM_TITLE" 30 >/dev/null; then
  start=$(date +%s%N)
  vm_pass "window shown for the playback"
  # Read while it plays (a few seconds; 100% shows for about 0.5 s before
  # the end), so poll often.
  # The 56 kB recording may play through before the first read: a window
  # that is already gone has played to its end (the exit is checked below).
  POLL_SLEEP=0.05
  link=$(poll 10 "FILE" pane 4)
  case $link in
    FILE) vm_pass "link pane = 'FILE'"
          msg=$(poll 10 "Playback in progress..." pane 1)
          case $msg in
            "Playback in progress..."|missing=*) vm_pass "message pane while playing: '$msg'" ;;
            *) vm_fail "message pane: expected 'Playback in progress...', got '$msg'" ;;
          esac
          progress=$(poll 60 "100%" field 1393)
          case $progress in
            100%|missing=*) vm_pass "progress reached the end ('$progress')" ;;
            *) vm_fail "progress: expected '100%', got '$progress'" ;;
          esac ;;
    missing=*) vm_info "the playback ended before the panes were read" ;;
    *) vm_fail "link pane: expected 'FILE', got '$link'" ;;
  esac
  done_at=$(date +%s%N)
  vm_wait_exit 10; code=$?
  if [ "$code" -eq 124 ]; then
    vm_fail "program still running 10 s after 100%"
  elif [ "$code" -ne 0 ]; then
    vm_fail "program ended with exit code $code after the playback"
  else
    vm_pass "program ended by itself after the playback (exit code $code)"
    vm_info "ended $(( ($(date +%s%N) - done_at) / 1000000 )) ms after 100% was read"
  fi
  ms=$(( (done_at - start) / 1000000 ))
  [ "$ms" -gt 0 ] || ms=1
  echo "benchmark: full-speed playback with the window: $size bytes in $ms ms = $(( size * 1000 / ms )) bytes/s (from the window's appearance)"
else
  vm_fail "no window for the playback"
fi
vm_finish
