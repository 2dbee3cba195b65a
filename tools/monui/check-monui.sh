#!/usr/bin/env bash
# monui's own check under Wine: each verb against monui_target, a window with
# one control of each kind, which prints every notification it gets. Needs the
# Windows build (scripts/test.sh builds it; WIN32_BUILD names another one).
#   tools/monui/check-monui.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ROOT"
RUN_DIR=${RUN_DIR:-$ROOT/build/run-monui}
RXSIM_PORTS=${RXSIM_PORTS:-5}
source scripts/wine-env.sh
MONUI=$ROOT/$WIN32_BUILD/tools/monui.exe
TARGET=$ROOT/$WIN32_BUILD/tools/monui_target.exe
[ -f "$MONUI" ] && [ -f "$TARGET" ] || { echo "check-monui: build monui and monui_target first" >&2; exit 1; }
trap wine_env_stop EXIT
wine_env_start

title="monui target"
log=$RUN_DIR/target.log
wine "$TARGET" >"$log" 2>"$RUN_DIR/target.err" &
_env_pids+=($!)
wait_for 30 grep -q ready "$log" || { echo "check-monui: the target did not start" >&2; exit 1; }

failures=0
out=""
m() { out=$(wine "$MONUI" "$@" 2>&1 | tr -d '\r'); }
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1${2:+: $2}"; failures=$((failures + 1)); }
# logged LINE: the target printed exactly this line (within 5 s) after the
# first $seen lines of its log.
seen=0
new_lines() { tail -n +$((seen + 1)) "$log" | tr -d '\r'; }
has_line() { new_lines | grep -qxF "$1"; }
logged() { wait_for 5 has_line "$1"; }
# verb NAME EXPECTED-OUTPUT-LINE EXPECTED-LOG-LINE -- monui arguments
verb() {
  local name=$1 want=$2 line=$3; shift 4
  seen=$(wc -l <"$log")
  if ! m "$@"; then fail "$name" "exit status, output: $out"; return; fi
  grep -qxF "$want" <<<"$out" || { fail "$name" "output: $out"; return; }
  if [ -n "$line" ] && ! logged "$line"; then fail "$name" "target saw: $(new_lines | tr '\n' '|')"; return; fi
  pass "$name"
}

# EN_CHANGE 0x300, BN_CLICKED 0, LBN_SELCHANGE 1.
verb "settext"           "set=101"      "command 101 768 run_07.log" -- settext "$title" 101 run_07.log
verb "settext multiline" "set=107"      "command 107 768 a b"        -- settext "$title" 107 "a b"
verb "click"             "clicked=102"  "command 102 0"              -- click "$title" 102
verb "menu"              "posted=32964" "command 32964 0"            -- menu "$title" 32964
verb "listsel"           "selected=2"   "command 103 1 COM12"        -- listsel "$title" 103 COM12
verb "check on"          "checked=1"    "command 104 0 1"            -- check "$title" 104 1
verb "check again"       "unchanged=1"  ""                           -- check "$title" 104 1
verb "check off"         "checked=0"    "command 104 0 0"            -- check "$title" 104 0
verb "datetime set"      "set=105"      "datetime 105 2007-02-03 09:05:00 1" -- datetime "$title" 105 2007-02-03 09:05:00
verb "datetime read"     "2007-02-03 09:05:00" ""                    -- datetime "$title" 105
verb "progress"          "pos=250 low=0 high=1000" ""                -- progress "$title" 106
if m listsel "$title" 103 COM7; then fail "listsel missing item" "$out"; else
  grep -q "^noitem=COM7 items=COM5|COM6|COM12|Playback$" <<<"$out" && pass "listsel missing item" || fail "listsel missing item" "$out"
fi
if m datetime "$title" 105 2007-02-30 09:05:00; then fail "datetime bad date" "$out"; else pass "datetime bad date"; fi

# holdfile: while one monui holds the file, nobody else opens it.
held=$RUN_DIR/held.txt
echo data >"$held"
winheld=$(winepath -w "$held" 2>/dev/null)
wine "$MONUI" holdfile "$winheld" 6 >"$RUN_DIR/hold.out" 2>&1 &
_env_pids+=($!)
if wait_for 20 grep -q "^held=" "$RUN_DIR/hold.out"; then
  if m holdfile "$winheld" 0; then fail "holdfile" "a second open succeeded"
  else grep -q "error=32" <<<"$out" && pass "holdfile" || fail "holdfile" "$out"; fi
  wait_for 20 grep -q "^released=" "$RUN_DIR/hold.out" && m holdfile "$winheld" 0 && pass "holdfile released" ||
    fail "holdfile released" "$out"
else
  fail "holdfile" "$(cat "$RUN_DIR/hold.out")"
fi

m close "$title" >/dev/null || true
[ "$failures" -eq 0 ] && echo "check-monui: all passed" || echo "check-monui: $failures failed"
exit $((failures > 0))
