#!/usr/bin/env bash
# The README's first command (scripts/run.sh), run with a time limit: it
# must bring up the main window connected to the simulated receiver that
# replays the bundled recording, with the link pane naming COM 5 and the
# live fields filled. run.sh makes its own prefix and display; this script
# only reads what it prints.
set -u
source "$(dirname "$0")/lib/velmaramon_lib.sh"
out=$VM_SCRATCH/run.out
SECONDS_TO_RUN=20 RUN_DIR=$VM_SCRATCH/demo WIN32_BUILD=$WIN32_BUILD \
  timeout -k 10 240 bash scripts/run.sh >"$out" 2>&1
code=$?
sed 's/^/  | /' "$out" | grep -v -e '^  | \[' -e 'ninja: no work' | tail -n 15
vm_expect "run.sh exit code" 0 "$code"
last=$(grep '^monitor: ' "$out" | tail -n 1)
link=$(sed -n 's/^monitor: link "\([^"]*\)".*/\1/p' <<<"$last")
if [[ $link == "COM 5: "* ]]; then vm_pass "link pane at the end = '$link'"; else vm_fail "link pane at the end: '$link'"; fi
# Latitude hemisphere and degrees of the moving receiver, and its time.
if [[ $last =~ \|\ N\ 47\  ]]; then vm_pass "latitude filled"; else vm_fail "latitude not filled: $last"; fi
if [[ $last =~ \ (Sun|Mon|Tue|Wed|Thu|Fri|Sat)\ [0-9]{2}:[0-9]{2}:[0-9]{2} ]]; then vm_pass "time filled"; else vm_fail "time not filled: $last"; fi
grep -q '^screenshot: build/artifacts/velmaramon_demo.png' "$out" && vm_pass "screenshot saved" || vm_fail "no screenshot"
vm_finish
