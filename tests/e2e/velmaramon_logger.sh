#!/usr/bin/env bash
# The Multiport Data Logger on three live receivers: rxsim drives a different
# road track on COM5, COM6 and COM12 (tools/rxsim/scenarios/qbin-drive-*.txt,
# sped up to 40 periods a second) and keeps, per port, every byte it sent,
# every fix that left whole and every command it received.
#
# The main window monitors COM5; the logger, opened from the menu, logs all
# three ports in 10240-byte parts with CSV and KML companions and both
# per-second queries, refuses a companion whose name a folder holds while the
# other ports go on, hides when closed while logging, and stops everything
# with Stop All after 30 s. Then: what each port's parts hold against what
# rxsim sent there, the companions against rxsim's fixes and GDAL's reader,
# the queries against rxsim's command log. Then a logging calendar that opens
# in 5 s for 10 s, closing the program while a port logs, and the playback
# channel logging a replay.
set -u
# The checks below read python's verdicts through pipes into while loops; the
# loops must run in this shell, or the failures they count are lost.
shopt -s lastpipe
source "$(dirname "$0")/lib/velmaramon_lib.sh"

LOGGER="Multiport Data Logger"
PORTS="5 6 12"
SPLIT_BYTES=10240
LOG_SECONDS=30
# Internal tools (the playback channel) are shown when this folder exists.
export VELMARA_INTERNAL_SHARE='Z:\tmp'

for n in $PORTS; do
  v=RXSIM_COM${n}_CONTROL
  [ -n "${!v:-}" ] || { echo "FAIL: no rxsim on COM$n"; exit 1; }
done

# rxsim of port N: one control command, its reply.
rxp() {
  local n=$1 v reply; shift
  v=RXSIM_COM${n}_CONTROL
  exec 8<>"/dev/tcp/127.0.0.1/${!v}" || return 1
  echo "$*" >&8
  read -r reply <&8
  exec 8>&-
  echo "$reply"
}
rxp_ok() {
  local n=$1 r; shift
  r=$(rxp "$n" "$@")
  case $r in ok*) ;; *) vm_fail "rxsim COM$n '$*' said '$r'" ;; esac
}

ltext() { ui text "$LOGGER" "$1"; }
lclick() { ui click "$LOGGER" "$1" >/dev/null; }
lset() { ui settext "$LOGGER" "$1" "$2" >/dev/null; }
lcheck() { ui check "$LOGGER" "$1" "$2" >/dev/null; }
lselect() { ui listsel "$LOGGER" 1708 "$1" >/dev/null; }
logger_shot() {  # name: the logger window as build/artifacts/NAME.png
  local bmp=$VM_SCRATCH/$1.bmp
  if ui shot "$LOGGER" "$bmp" >/dev/null && convert "$bmp" "$VM_ARTIFACTS/$1.png" 2>/dev/null; then
    echo "screenshot: build/artifacts/$1.png"
  else
    vm_fail "screenshot $1 not saved"
  fi
}
now() { date +%s.%N; }

OUT=$VM_SCRATCH/logs
rm -rf "$OUT"
mkdir -p "$OUT"
for n in $PORTS; do mkdir -p "$OUT/com$n"; done

# Each port a receiver on its own road, 40 periods a second, with its logs.
track=1
for n in $PORTS; do
  lines=$(sed -e '/^[[:space:]]*#/d' -e 's/[[:space:]]*#.*$//' -e '/^[[:space:]]*$/d' \
    -e 's/^interval_ms .*/interval_ms 25/' "$ROOT/tools/rxsim/scenarios/qbin-drive-$track.txt" | paste -sd';')
  rxp_ok "$n" silent purge
  # The fix log counts line offsets from rxsim's start; the sent log begins
  # at "from", so its offsets are shifted by that much.
  r=$(rxp "$n" sentlog "$OUT/com$n.sent")
  case $r in "ok from="*) echo "${r#ok from=}" >"$OUT/com$n.sent.from" ;; *) vm_fail "rxsim COM$n sentlog said '$r'" ;; esac
  rxp_ok "$n" fixlog "$OUT/com$n.fixes.csv"
  rxp_ok "$n" commandlog "$OUT/com$n.commands"
  rxp_ok "$n" scenario inline "$lines"
  track=$((track + 1))
done

# Sets up the selected port: log path, split, both companions, both queries.
configure_port() {  # entry path
  lselect "$1"
  vm_expect_poll "$1 selected: group caption" 5 "Log File for $1" ltext 1709
  lset 1366 "$2"
  lset 1367 "0.01"
  lcheck 1555 1
  lcheck 1558 1
  lcheck 1548 1
  lcheck 1553 1
}

vm_reset
# The main window's own auto-query would send the same two queries to COM5.
reg_set autoQueryTrk 0
reg_set autoQueryTime 0
vm_start_window || vm_finish
vm_expect "main window on COM 5" "COM 5: 9600-8-N-1" "$(vm_choose_link "COM 5" "COM 5: 9600-8-N-1")"
ui menu "$VM_TITLE" 32796 >/dev/null
if ! ui wait "$LOGGER" 15 >/dev/null; then
  vm_fail "the logger did not open from the Tools menu"
  vm_finish
fi
vm_pass "the logger opened from the Tools menu"
vm_expect "selection follows the main window's port" "Log File for COM 5" "$(ltext 1709)"

# ---- Three ports, one refused companion -------------------------------------------
configure_port "COM 5" "$(zpath "$OUT/com5")\\run.log"
lclick 1370
vm_expect_poll "COM 5 status" 10 "Logging started" ltext 1037
LOG_START=$(now)
STARTS="5:$LOG_START"
configure_port "COM 6" "$(zpath "$OUT/com6")\\run.log"
lclick 1370
vm_expect_poll "COM 6 status" 10 "Logging started" ltext 1037
STARTS="$STARTS 6:$(now)"

# A folder holds the name the CSV companion would take: refused, others go on.
mkdir -p "$OUT/com12/blocked.csv"
configure_port "COM 12" "$(zpath "$OUT/com12")\\blocked.log"
# The button's handler waits in the box: the driver is not waited for.
ui click "$LOGGER" 1370 >/dev/null &
click_pid=$!
box=$(ui msgbox 10)
vm_expect "folder in the companion's place" "text=Failed to create the .CSV file!" "$(echo "$box" | grep '^text=')"
ui answer IDOK >/dev/null
wait "$click_pid"
vm_expect "COM 12 after the refusal" "Start Logging" "$(ltext 1370)"
lselect "COM 6"
vm_expect_poll "COM 6 goes on" 5 "Logging started" ltext 1037
configure_port "COM 12" "$(zpath "$OUT/com12")\\run.log"
lclick 1370
vm_expect_poll "COM 12 status" 10 "Logging started" ltext 1037
STARTS="$STARTS 12:$(now)"

# ---- The main window while its port is logged -------------------------------------------
[[ $(poll 5 "~Monitoring" pane 1) == *"[data logging: ON]"* ]] && vm_pass "main window: '$(pane 1)'" \
  || vm_fail "main window does not show the logging: '$(pane 1)'"
# The combo's handler waits in the box too.
ui combo "$VM_TITLE" 36004 "IDLE" >/dev/null &
combo_pid=$!
box=$(ui msgbox 10)
vm_expect "IDLE refused" "text=Data is currently being logged on COM 5.\nPlease, stop logging before switching to IDLE mode." \
  "$(echo "$box" | grep '^text=')"
ui answer IDOK >/dev/null
wait "$combo_pid"
vm_expect_poll "main window stays on COM 5" 5 "COM 5: 9600-8-N-1" pane 4

# Closing the logger while it logs only hides it; the menu shows it again.
logger_shot velmaramon_logger_logging
ui close "$LOGGER" >/dev/null
sleep 1
vm_expect "logger closed while logging" "0" "$(ui info "$LOGGER" | sed -n 's/^visible=//p')"
ui menu "$VM_TITLE" 32796 >/dev/null
vm_expect_poll "logger shown again" 5 "1" bash -c "wine '$VM_UI' info '$LOGGER' 2>/dev/null | tr -d '\r' | sed -n 's/^visible=//p'"
vm_expect "COM 12 still logging" "Logging started" "$(ltext 1037)"

# ---- Stop All after 30 s --------------------------------------------------------------
left=$(python3 -c "import time; print(max(0.0, $LOG_START + $LOG_SECONDS - time.time()))")
sleep "$left"
ui menu "$LOGGER" 32950 >/dev/null
LOG_STOP=$(now)
vm_expect_poll "after Stop All" 5 "All stopped!" ltext 1037
not_logging() { local p; p=$(pane 1); [[ $p == Monitoring* && $p != *"[data logging"* ]] && echo "$p"; }
vm_expect_poll "main window monitors on, not logging" 5 "~Monitoring" not_logging
logger_shot velmaramon_logger_stopped

# What each port logged, against what rxsim sent and fixed there.
python3 - "$OUT" "$SPLIT_BYTES" "$LOG_STOP" $STARTS <<'EOF' | while IFS= read -r line; do
import csv, glob, os, re, subprocess, sys, xml.etree.ElementTree as ET
out, split, t1 = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
starts = dict((p, float(t)) for p, t in (a.split(":") for a in sys.argv[4:]))
ports = list(starts)
fixes = {}
for n in ports:
    with open(f"{out}/com{n}.fixes.csv") as f:
        fixes[n] = [(float(r[1]), float(r[2]), float(r[3]), int(r[5])) for r in csv.reader(f) if r and r[0] != "week"]
def say(ok, text): print(("PASS: " if ok else "FAIL: ") + text)
def dms(text):
    m = re.fullmatch(r"\s*(\d+):(\d\d):(\d\d)\.(\d\d)([NSEW])", text)
    v = int(m[1]) + int(m[2]) / 60 + (int(m[3]) + int(m[4]) / 100) / 3600
    return -v if m[5] in "SW" else v
for n in ports:
    d = f"{out}/com{n}"
    parts = sorted(glob.glob(f"{d}/run_*.log"))
    sizes = [os.path.getsize(p) for p in parts]
    say(len(parts) >= 2 and all(s == split for s in sizes[:-1]) and 0 < sizes[-1] <= split,
        f"COM{n}: {len(parts)} parts, all but the last {split} bytes (last {sizes[-1] if sizes else 0})")
    data = b"".join(open(p, "rb").read() for p in parts)
    sent = open(f"{out}/com{n}.sent", "rb").read()
    origin = int(open(f"{out}/com{n}.sent.from").read())
    at = sent.find(data) if data else -1
    say(at >= 0, f"COM{n}: the {len(data)} logged bytes are one contiguous slice of the {len(sent)} sent (at {at})")
    rows = [r for r in csv.reader(open(f"{d}/run.csv", newline=""))]
    say(rows and [c.strip() for c in rows[0]] == ["Longitude", "Latitude", "Name"], f"COM{n}: CSV header")
    body = [r for r in rows[1:] if r]
    say(all(len(r) == 3 for r in body), f"COM{n}: {len(body)} CSV rows of 3 fields")
    tows = [float(r[2]) for r in body]
    say(len(set(tows)) == len(tows), f"COM{n}: each fix once")
    def match(port, r):
        lon, lat, tow = dms(r[0]), dms(r[1]), float(r[2])
        return any(abs(f[0] - tow) < 0.05 and abs(f[1] - lat) < 0.011 / 3600 and abs(f[2] - lon) < 0.011 / 3600
                   for f in fixes[port])
    say(all(match(n, r) for r in body), f"COM{n}: every CSV row is a fix rxsim sent on COM{n}")
    others = [p for p in ports if p != n]
    say(not any(match(p, r) for p in others for r in body), f"COM{n}: no other port's fix")
    # The raw log and the companions are written by different threads: the
    # fixes sent well inside the logged slice must all be there.
    margin = 4096
    first, last = origin + at + margin, origin + at + len(data) - margin
    inside = [f for f in fixes[n] if at >= 0 and first <= f[3] <= last]
    missing = [f for f in inside if not any(abs(t - f[0]) < 0.05 for t in tows)]
    say(inside and not missing, f"COM{n}: {len(inside)} fixes sent while logging all in the CSV ({len(missing)} missing)")
    try:
        root = ET.parse(f"{d}/run.kml").getroot()
        marks = [e for e in root.iter() if e.tag.endswith("Placemark")]
        say(True, f"COM{n}: KML parses ({len(marks)} placemarks)")
    except ET.ParseError as e:
        marks = None
        say(False, f"COM{n}: KML does not parse: {e}")
    info = subprocess.run(["ogrinfo", "-ro", "-al", "-so", f"{d}/run.kml"], capture_output=True, text=True).stdout
    m = re.search(r"Feature Count: (\d+)", info)
    say(m is not None and marks is not None and int(m[1]) == len(marks) == len(body),
        f"COM{n}: ogrinfo features {m[1] if m else '?'} = placemarks = CSV rows")
    # Both queries once a second while logging, none after.
    cmds = [l.rstrip("\n").split("\t", 1) for l in open(f"{out}/com{n}.commands")]
    for q in ("10 3C 00 10 03", "10 21 10 03"):
        times = sorted(float(t) for t, c in cmds if c == q)
        t0 = starts[n]
        during = [t for t in times if t0 - 2 <= t <= t1 + 1.5]
        after = [t for t in times if t > t1 + 1.5]
        gaps = [b - a for a, b in zip(during, during[1:])]
        span = t1 - t0
        ok = abs(len(during) - span) <= 3 and gaps and max(gaps) < 2.5 and not after
        say(ok, f"COM{n}: '{q}' {len(during)} times in {span:.0f} s (largest gap {max(gaps) if gaps else 0:.1f} s), {len(after)} after")
EOF
  case $line in PASS:*) vm_pass "${line#PASS: }" ;; FAIL:*) vm_fail "${line#FAIL: }" ;; *) echo "$line" ;; esac
done

# ---- The logging calendar: open in 5 s for 10 s -------------------------------------------
lselect "COM 6"
lset 1366 "$(zpath "$OUT/com6")\\calendar.log"
lset 1367 "0"
lclick 1402
if ui wait "Logging Calendar" 10 >/dev/null; then
  ui check "Logging Calendar" 1402 1 >/dev/null
  start=$(date -d "@$(( $(date +%s) + 5 ))" '+%Y-%m-%d %H:%M:%S')
  end=$(date -d "@$(( $(date +%s) + 15 ))" '+%Y-%m-%d %H:%M:%S')
  # Date and time go as two words; each picker gets the whole moment.
  for id in 1019 1020; do ui datetime "Logging Calendar" "$id" $start >/dev/null; done
  for id in 1021 1022; do ui datetime "Logging Calendar" "$id" $end >/dev/null; done
  # OK as the keyboard gives it: a click right after the pickers changed may
  # go to the picker that still has the focus.
  ui menu "Logging Calendar" 1 >/dev/null
  ui gone "Logging Calendar" 5 >/dev/null && vm_pass "calendar taken" || vm_fail "calendar still open"
  lclick 1370
  vm_expect_poll "calendar not yet open" 3 "Waiting..." ltext 1037
  vm_expect "size while waiting" "0 bytes" "$(ltext 1038)"
  logger_shot velmaramon_logger_waiting
  vm_expect_poll "calendar open" 10 "Logging started" ltext 1037
  vm_expect_poll "calendar over" 15 "All stopped!" ltext 1037
  size=$(stat -c %s "$OUT/com6/calendar.log" 2>/dev/null || echo 0)
  [ "$size" -gt 0 ] && vm_pass "calendar log holds $size bytes" || vm_fail "calendar log empty"
else
  vm_fail "the Logging Calendar did not open"
fi

# ---- Closing the program while a port logs ----------------------------------------------
configure_port "COM 12" "$(zpath "$OUT/com12")\\closing.log"
lset 1367 "0"
lclick 1370
vm_expect_poll "COM 12 logging before the close" 10 "Logging started" ltext 1037
sleep 2
ui close "$VM_TITLE" >/dev/null
box=$(ui msgbox 10)
[[ $box == *"Data is currently being logged"* ]] && vm_pass "closing asks first" || vm_fail "no question on close: $box"
ui answer IDYES >/dev/null
vm_wait_exit 20; code=$?
[ "$code" -ne 124 ] && vm_pass "program ended" || { vm_fail "program still running"; vm_kill; }
if python3 -c "import sys, xml.etree.ElementTree as ET; ET.parse(sys.argv[1])" "$OUT/com12/closing.kml" 2>/dev/null &&
   tail -c 8 "$OUT/com12/closing.kml" | grep -q '</kml>'; then
  vm_pass "KML of the port logging at the close is whole"
else
  vm_fail "KML of the port logging at the close is not well-formed"
fi
for n in $PORTS; do rxp_ok "$n" silent purge; done

# ---- The playback channel ------------------------------------------------------------------
rec=$OUT/replay.qbl
"${RXSIM:-${HOST_BUILD:-$ROOT/build/host}/tools/rxsim}" --generate qbin-drive-2 --bytes 40000000 --out "$rec" >/dev/null
vm_start_window -monitor "-playback=$(zpath "$rec")" || vm_finish
ui menu "$VM_TITLE" 32796 >/dev/null
if ui wait "$LOGGER" 15 >/dev/null; then
  lselect "Playback"
  vm_expect_poll "playback channel selected" 5 "Log File for Playback Channel" ltext 1709
  lset 1366 "$(zpath "$OUT")\\replay_data.log"
  lclick 1370
  # A replay at full speed keeps the window's queue full, so its timer comes
  # late: the log itself shows the start.
  vm_expect_poll "playback logging" 10 "1" bash -c "[ -s '$OUT/replay_data.log' ] && echo 1"
  sleep 3
  lclick 1370
  vm_expect_poll "playback stopped" 5 "Ready to start" ltext 1037
  python3 - "$rec" "$OUT/replay_data.log" <<'EOF' | while IFS= read -r line; do
import sys
played, log = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
at = played.find(log) if log else -1
print(("PASS: " if at >= 0 else "FAIL: ") + f"playback log of {len(log)} bytes is a contiguous slice of the played file (at {at})")
EOF
    case $line in PASS:*) vm_pass "${line#PASS: }" ;; FAIL:*) vm_fail "${line#FAIL: }" ;; esac
  done
else
  vm_fail "the logger did not open during a playback"
fi
# A full-speed replay reads these 40 MB in some twenty seconds under Wine, long
# enough for the logger to start and stop while it runs; the rest of the
# replay is the main window's business, not the logger's: the run ends here.
vm_kill
rm -f "$rec"
vm_finish
