#!/usr/bin/env bash
# monui's own check under Wine: each verb against monui_target, a window with
# one control of each kind, which prints every notification it gets, then the
# verbs that read menus, state and points against the program's main window.
# Needs the Windows build (scripts/test.sh builds it; WIN32_BUILD names
# another one).
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

# Windows by count, index and class.
verb "count"             "count=2"      "" -- count "monui twin"
verb "count waits"       "count=2"      "" -- count "monui twin" 2 1
if m count "monui twin" 3 0.5; then fail "count wrong number" "$out"; else
  [ "$out" = "count=2" ] && pass "count wrong number" || fail "count wrong number" "$out"; fi
first=$(m list "monui twin"; sed -n 's/^0 hwnd=\([^ ]*\).*/\1/p' <<<"$out")
verb "index"             "hwnd=$first"  "" -- wait "monui twin#0" 1
# The list's order is the windows' stacking order, which activation changes:
# the handle must name the same window "#0" names, whichever twin that is.
m info "monui twin#0"; first_rect=$(grep '^rect=' <<<"$out")
verb "hwnd spec"         "${first_rect:-rect=?}" "" -- info "hwnd:$first"
verb "class spec"        "rect=700 100 200 100" "" -- info "class:MonuiBalloon"
if m info "monui twin#2"; then fail "index past the end" "$out"; else pass "index past the end"; fi
verb "title prefix"      "count=2"      "" -- count "monui tw*"
verb "class prefix"      "rect=700 100 200 100" "" -- info "class:MonuiBall*"

# Controls by text and class; their state.
verb "control by text"   "clicked=102"  "command 102 0"              -- click "$title" Go
verb "click post"        "clicked=102"  "command 102 0"              -- click "$title" 102 post
if m state "$title" "class:Button#1" && [[ $out == "id=104 class=Button enabled=1 visible=1 checked=0 rect="* ]]
then pass "control by class"; else fail "control by class" "$out"; fi
verb "enabled"           "1"            ""                           -- enabled "$title" 104
verb "checked"           "0"            ""                           -- checked "$title" 104

# Tabs, trackbar, rich edit lines, clipboard.
verb "tab"               "count=3 selected=0" ""                     -- tab "$title" 108
verb "tab names"         "Custom Products" ""                        -- tab "$title" 108 names
verb "tab select"        "selected=2"   "tab 108 CHANGE 2"           -- tab "$title" 108 select 2
verb "tab selected"      "2"            ""                           -- tab "$title" 108 selected
if m tab "$title" 108 select 3; then fail "tab out of range" "$out"; else pass "tab out of range"; fi
verb "trackbar"          "pos=100 min=1 max=1000" ""                 -- trackbar "$title" 109
verb "trackbar set"      "pos=640 min=1 max=1000" "scroll 109 8 640" -- trackbar "$title" 109 640
verb "lines"             "second line"  ""                           -- lines "$title" 110
verb "lines range"       "third"        ""                           -- lines "$title" 110 2 1
verb "linecount"         "3"            ""                           -- linecount "$title" 110
verb "clipboard set"     "set"          ""                           -- clipboard set "one
two"
verb "clipboard"         "two"          ""                           -- clipboard
verb "clipboard clear"   "cleared"      ""                           -- clipboard clear
if m clipboard; then fail "clipboard empty" "$out"; else [ "$out" = noclipboardtext ] && pass "clipboard empty" || fail "clipboard empty" "$out"; fi

# Menus, read through the window.
verb "menulist"          "path=0/2 id=32965 checked=1 greyed=0 separator=0 popup=0 text=&Always on Top" "" -- menulist "$title" 0
verb "menulist separator" "path=0/1 id=0 checked=0 greyed=0 separator=1 popup=0 text=" "" -- menulist "$title" 0
verb "menuitem"          "path=0/3 id=32966 checked=0 greyed=1 separator=0 popup=0 text=&Reset" "" -- menuitem "$title" 32966
verb "menuitem field"    "&Inner\tCtrl+I" ""                         -- menuitem "$title" 32967 text
verb "menupos nested"    "32967"        ""                           -- menupos "$title" 0/4/0 id
verb "menupos popup"     "1"            ""                           -- menupos "$title" 0/4 popup
if m menupos "$title" 0/9; then fail "menupos past the end" "$out"; else
  [ "$out" = "badpath=0/9" ] && pass "menupos past the end" || fail "menupos past the end" "$out"; fi
verb "command"           "posted=32965" "command 32965 0"            -- command "$title" 32965
for refused in "32966|greyed=32966 path=0/3" "32999|absent=32999"; do
  id=${refused%%|*}; want=${refused#*|}
  seen=$(wc -l <"$log")
  if m command "$title" "$id"; then fail "command $id refused" "$out"
  elif [ "$out" != "$want" ]; then fail "command $id refused" "$out"
  elif sleep 1; has_line "command $id 0"; then fail "command $id refused" "the window got it"
  else pass "command $id refused ($out)"; fi
done
if m menuitem "monui twin#0" 32965; then fail "no query answer" "$out"; else
  [ "$out" = noquery ] && pass "no query answer" || fail "no query answer" "$out"; fi

# Context menus: a popup over the group box (closed again, nothing chosen), none over the label.
verb "contextmenu"       "path=1 id=32971 checked=1 greyed=0 separator=0 popup=0 text=&Format" "contextmenu 111 0" -- contextmenu "$title" Time
verb "contextmenu none"  "popup=0"      ""                           -- contextmenu "$title" DOPs
verb "contextmenu point" "popup=1"      "contextmenu 111 0"          -- contextmenu "$title" 111 4 4

# A right click (clickat ... right) leaves the popup open for "popup" to read
# and close.
m state "$title" 111; read -r gx gy gw gh <<<"$(sed -n 's/.* rect=//p' <<<"$out")"
m clickat $((gx + gw / 2)) $((gy + gh / 2)) right
verb "popup"             "path=0 id=32970 checked=0 greyed=0 separator=0 popup=0 text=&Copy" "" -- popup 3
verb "popup close"       "closed"       "contextmenu 111 0"          -- popup close
verb "popup none"        "popup=0"      ""                           -- popup close

# The window at a point: the round window's centre is it, its corner is not.
verb "at"                "hwnd=$(m wait "monui balloon" 1; sed -n 's/^hwnd=//p' <<<"$out") class=MonuiBalloon id=0 pid=$(m pid "monui balloon"; echo "$out") rect=700 100 200 100 title=monui balloon" "" -- at 800 150
if m at 702 102 && ! grep -q MonuiBalloon <<<"$out"; then pass "at a cut-off corner"; else fail "at a cut-off corner" "$out"; fi
verb "clickat"           "clicked=$(m wait "monui balloon" 1; sed -n 's/^hwnd=//p' <<<"$out") class=MonuiBalloon at=100 50" "balloon click" -- clickat 800 150

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
# The program's own main window: its menus answer through the window too.
program=$ROOT/$WIN32_BUILD/monitor/app/VelmaraMon.exe
vmt="Velmara GPS Monitor"
if [ ! -f "$program" ]; then
  echo "skip program checks: $program not built"
else
  wine "$program" >"$RUN_DIR/program.log" 2>&1 &
  _env_pids+=($!)
  if ! m wait "$vmt" 30; then fail "program: main window" "$out"; else
    verb "program: count" "count=1" "" -- count "$vmt"
    if m menulist "$vmt" && grep -qx 'path=0 id=[0-9]* checked=0 greyed=0 separator=0 popup=1 text=&File' <<<"$out"
    then pass "program: menulist"; else fail "program: menulist" "$out"; fi
    # Every command of the View menu is found by its id where the list has it.
    m menulist "$vmt" 2
    items=$(grep 'separator=0 popup=0' <<<"$out" || true)
    bad=0
    while read -r line; do
      [ -n "$line" ] || continue
      id=$(sed 's/.* id=\([0-9]*\) .*/\1/' <<<"$line"); path=$(sed 's/^path=\([^ ]*\) .*/\1/' <<<"$line")
      m menuitem "$vmt" "$id" path
      [ "$(head -n 1 <<<"$out")" = "$path" ] || { bad=1; fail "program: menuitem $id" "$out, listed at $path"; }
    done <<<"$items"
    [ -n "$items" ] && [ "$bad" = 0 ] && pass "program: menuitem finds each View command where menulist has it"
    # Always on top, chosen twice: checked, then not.
    for want in 1 0; do
      m menuitem "$vmt" 32797 checked; before=$out
      verb "program: command 32797" "posted=32797" "" -- command "$vmt" 32797
      wait_for 5 sh -c "[ \"\$(wine '$MONUI' menuitem '$vmt' 32797 checked 2>/dev/null | tr -d '\r')\" = $want ]" &&
        pass "program: always on top checked $before -> $want" || fail "program: always on top" "still $before"
    done
    if m command "$vmt" 1; then fail "program: command absent" "$out"; else
      [ "$out" = "absent=1" ] && pass "program: command absent" || fail "program: command absent" "$out"; fi
    if m state "$vmt" 36004 && [[ $out == "id=36004 class=ComboBox enabled=1 visible=1 checked=0 rect="* ]]
    then pass "program: state"; else fail "program: state" "$out"; fi
    verb "program: control by text" "Position" "" -- text "$vmt" Position
    if m contextmenu "$vmt" pane:4 && grep -qx 'popup=[01]' <<<"$out"; then pass "program: contextmenu on the link pane ($(head -n 1 <<<"$out"))"
    else fail "program: contextmenu" "$out"; fi
    m info "$vmt"; read -r x y w h <<<"$(sed -n 's/^rect=//p' <<<"$out")"
    main=$(sed -n 's/^hwnd=//p' <<<"$out")
    if m at $((x + w / 2)) $((y + h / 2)) && grep -q "hwnd=$main class=#32770" <<<"$out"; then pass "program: at"; else fail "program: at" "$out"; fi
  fi
  m close "$vmt" >/dev/null || true
fi

[ "$failures" -eq 0 ] && echo "check-monui: all passed" || echo "check-monui: $failures failed"
exit $((failures > 0))
