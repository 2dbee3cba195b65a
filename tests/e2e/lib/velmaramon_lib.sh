# shellcheck shell=bash
# Shared helpers of the monitor's end-to-end scripts (tests/e2e/velmaramon_*.sh).
# Sourced, not run. Expects what scripts/run-win32-tests.sh sets up: DISPLAY,
# WINEPREFIX, RXSIM_COM5_CONTROL (rxsim on the Linux end of COM5) and
# RXSIM_RUN_DIR. WIN32_BUILD (default build/win32) holds VelmaraMon.exe and
# the UI driver monui.exe. Screenshots go to build/artifacts/, which CI keeps.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
cd "$ROOT"
WIN32_BUILD=${WIN32_BUILD:-build/win32}
case $WIN32_BUILD in /*) ;; *) WIN32_BUILD=$ROOT/$WIN32_BUILD ;; esac
VM_EXE=$WIN32_BUILD/monitor/app/VelmaraMon.exe
VM_UI=$WIN32_BUILD/tools/monui.exe
VM_TITLE="Velmara GPS Monitor"
VM_KEY='HKCU\Software\Velmara Divizuvozo Ltd.\Velmara GPS Monitor\Monitor'
VM_ARTIFACTS=$ROOT/build/artifacts
VM_SCRATCH=${RXSIM_RUN_DIR:-$ROOT/build/run}/$(basename "$0" .sh)
VM_FAILS=0
VM_PID=
VM_NAME=$(basename "$0" .sh)
mkdir -p "$VM_ARTIFACTS" "$VM_SCRATCH"

for f in "$VM_EXE" "$VM_UI"; do
  if [ ! -e "$f" ]; then
    echo "SKIP: $f not built"
    exit 0
  fi
done
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "FAIL: no Wine environment (run through scripts/run-win32-tests.sh)"; exit 1; }

# Without a window manager on the virtual display, Wine draws the window
# frames itself (and hides windows without waiting for a manager).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

vm_fail() { echo "FAIL: $*"; VM_FAILS=$((VM_FAILS + 1)); }
vm_pass() { echo "PASS: $*"; }
vm_expect() {  # what expected actual
  if [ "$2" == "$3" ]; then vm_pass "$1 = '$3'"; else vm_fail "$1: expected '$2', got '$3'"; fi
}
vm_info() { echo "info: $*"; }

# The UI driver; its output without Windows line ends.
ui() { wine "$VM_UI" "$@" 2>/dev/null | tr -d '\r'; }
# Status pane by part index, without the blank the program puts in front.
pane() { ui pane "$VM_TITLE" "$1" | sed 's/^ //'; }
field() { ui text "$VM_TITLE" "$1"; }

# A resource id by its name in monitor/app/resource*.h ("" when none).
rid() {
  awk -v n="$1" '$1 == "#define" && $2 == n { print $3; exit }' "$ROOT"/monitor/app/resource*.h
}

# Menus of a window (default the main window), read through the window itself:
#   menu_item ID [FIELD]        every item with the id ("path=2/15 id=... checked=0
#                               greyed=0 separator=0 popup=0 text=..."), or one
#                               field of the first: path id checked greyed
#                               separator popup text; "absent=ID" when none
#   menu_at PATH [FIELD]        the item at PATH ("2/15": item 15 of the third menu)
#   menu_list [PATH]            every item of the bar or of the menu at PATH
# VM_MENU_WINDOW names another window for these three.
menu_item() { ui menuitem "${VM_MENU_WINDOW:-$VM_TITLE}" "$@"; }
menu_at() { ui menupos "${VM_MENU_WINDOW:-$VM_TITLE}" "$@"; }
menu_list() { ui menulist "${VM_MENU_WINDOW:-$VM_TITLE}" "$@"; }
# vm_command ID [WINDOW]: chooses a menu command as a user can: fails the
# check when the item is greyed or absent (its output says which).
vm_command() {
  local out; out=$(ui command "${2:-$VM_TITLE}" "$1")
  case $out in posted=*) return 0 ;; esac
  vm_fail "command $1 refused: $out"
  return 1
}
# vm_command_refused ID WHY: the command is refused (WHY: greyed or absent).
vm_command_refused() {
  local out; out=$(ui command "$VM_TITLE" "$1")
  if [[ $out == "$2="* ]]; then vm_pass "command $1 refused: $out"; else vm_fail "command $1: expected $2, got '$out'"; fi
}

# Controls of any window: enabled|visible|checked print 0 or 1.
ctl_enabled() { ui enabled "$1" "$2"; }
ctl_checked() { ui checked "$1" "$2"; }
ctl_visible() { ui visible "$1" "$2"; }
# Windows by title: how many are open; waits up to SECONDS for exactly N.
win_count() { ui count "$1" | sed -n 's/^count=//p'; }
vm_expect_count() {  # what title n [seconds]
  vm_expect "$1" "count=$3" "$(ui count "$2" "$3" "${4:-5}")"
}
# Tab controls: tab_selected WINDOW CONTROL, tab_select WINDOW CONTROL INDEX,
# tab_names WINDOW CONTROL (one per line). CONTROL may be
# "class:SysTabControl32" for the window's first tab control.
tab_selected() { ui tab "$1" "$2" selected; }
tab_select() { ui tab "$1" "$2" select "$3" >/dev/null; }
tab_names() { ui tab "$1" "$2" names; }
# The lines of an edit or rich edit, and how many.
ctl_lines() { ui lines "$@"; }
ctl_linecount() { ui linecount "$1" "$2"; }
clip_text() { ui clipboard; }
clip_clear() { ui clipboard clear >/dev/null; }
# context_popup CONTROL [WINDOW]: 1 when a right click over the control (a
# control spec: id, text, or pane:N for status part N) opens a popup menu
# (which is closed again), else 0.
context_popup() { ui contextmenu "${2:-$VM_TITLE}" "$1" | sed -n 's/^popup=//p'; }
# Window rectangle "X Y W H" of a window spec.
win_rect() { ui info "$1" | sed -n 's/^rect=//p'; }
# The rectangles "X Y W H" of the visible untitled windows of classes the
# program registers itself (its balloons), one per line.
vm_balloons() {
  ui list "class:MonitorFrame:*" | sed -n 's/^[0-9]* hwnd=[^ ]* pid=[0-9]* rect=\([-0-9]* [-0-9]* [0-9]* [0-9]*\) class=[^ ]* title=$/\1/p'
}

# The port dialog a port choice opens (once the link dialogs are in).
VM_PORT_DIALOG="Select Port & Settings..."
port_dialog_open() { [ "$(ui count "$VM_PORT_DIALOG")" != "count=0" ]; }
# vm_choose_link ITEM PANE [SECONDS]: picks ITEM in the link combo and waits
# for the link pane to read PANE; a port dialog that opens meanwhile is
# answered with OK (its settings as filled in). Prints the pane's last text.
vm_choose_link() {
  local item=$1 want=$2 secs=${3:-15} got deadline answered=0
  ui combo "$VM_TITLE" 36004 "$item" >/dev/null || { echo "no item $item"; return 1; }
  deadline=$(( $(date +%s) + secs ))
  while :; do
    if [ "$answered" = 0 ] && port_dialog_open; then
      ui click "$VM_PORT_DIALOG" 1 post >/dev/null && answered=1
      vm_info "answered \"$VM_PORT_DIALOG\" with OK" >&2
    fi
    got=$(pane 4)
    if [ "$got" == "$want" ] && ! port_dialog_open; then break; fi
    [ "$(date +%s)" -ge "$deadline" ] && break
    sleep 0.2
  done
  echo "$got"
}

# poll SECONDS EXPECTED COMMAND...: until the command prints EXPECTED; prints
# what it printed last. A pattern "~TEXT" matches a prefix, "*" any non-empty.
poll() {
  local secs=$1 want=$2 got deadline; shift 2
  deadline=$(( $(date +%s%N) + secs * 1000000000 ))
  while :; do
    got=$("$@")
    case $want in
      "~"*) [[ $got == "${want:1}"* ]] && break ;;
      "*") [ -n "$got" ] && break ;;
      *) [ "$got" == "$want" ] && break ;;
    esac
    [ "$(date +%s%N)" -ge "$deadline" ] && break
    sleep "${POLL_SLEEP:-0.2}"
  done
  echo "$got"
}
# vm_expect_poll WHAT SECONDS EXPECTED COMMAND...
vm_expect_poll() {
  local what=$1 secs=$2 want=$3 got; shift 3
  got=$(poll "$secs" "$want" "$@")
  case $want in
    "~"*) if [[ $got == "${want:1}"* ]]; then vm_pass "$what = '$got'"; else vm_fail "$what: expected '${want:1}...', got '$got'"; fi ;;
    "*") if [ -n "$got" ]; then vm_pass "$what = '$got'"; else vm_fail "$what: still empty"; fi ;;
    *) vm_expect "$what" "$want" "$got" ;;
  esac
}

# rxsim on COM5: one control command, its reply on stdout.
rx() {
  local reply
  exec 7<>"/dev/tcp/127.0.0.1/$RXSIM_COM5_CONTROL" || return 1
  echo "$*" >&7
  read -r reply <&7
  exec 7>&-
  echo "$reply"
}
rx_ok() {  # command...: fails the script's check when rxsim refuses
  local r; r=$(rx "$@")
  case $r in ok*) ;; *) vm_fail "rxsim '$*' said '$r'" ;; esac
}

# rxsim on COM5 becomes the receiver of a scenario file, with nothing
# queued from before and its tallies zeroed.
rx_scenario() {  # file
  rx_ok silent purge
  rx_ok scenario load "$1"
  rx_ok reset
}
# The same with a scenario's lines changed on the way (sed expressions; its
# comments dropped): rxsim takes the lines inline, ";" between them.
rx_scenario_edited() {  # file sed-expression...
  local file=$1 lines; shift
  local args=() e
  for e in "$@"; do args+=(-e "$e"); done
  lines=$(sed -e '/^[[:space:]]*#/d' -e 's/[[:space:]]*#.*$//' -e '/^[[:space:]]*$/d' "${args[@]}" "$file" | paste -sd';')
  rx_ok silent purge
  rx_ok scenario inline "$lines"
  rx_ok reset
}

# vm_expect_fields LABEL FIRST_WAIT <<< "ID|TEXT|WHAT" lines: each field
# polled for its text, the first given FIRST_WAIT seconds to fill, the
# others 3 (they come in the same reports).
vm_expect_fields() {
  local label=$1 wait=$2 id want what
  while IFS='|' read -r id want what; do
    [ -n "$id" ] || continue
    vm_expect_poll "$label: $what ($id)" "$wait" "$want" field "$id"
    wait=3
  done
}

# A Windows path for a file of this machine (Wine's Z: drive).
zpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

# Where the program keeps its data (%APPDATA%\Velmara Divizuvozo\Velmara GPS Monitor).
vm_datadir() {
  find "$WINEPREFIX/drive_c/users" -maxdepth 5 -type d -name 'Velmara GPS Monitor' \
    -path '*Velmara Divizuvozo*' 2>/dev/null | head -n 1
}
vm_trace() {
  local d; d=$(vm_datadir)
  [ -n "$d" ] && [ -f "$d/VelmaraMon_trace.txt" ] && tr -d '\r' <"$d/VelmaraMon_trace.txt"
}

# Forgets what earlier runs left: the profile and the data folder, as on a
# new prefix (the prefix itself is made once per test run).
vm_reset() {
  wine reg delete 'HKCU\Software\Velmara Divizuvozo Ltd.' /f >/dev/null 2>&1
  local d; d=$(vm_datadir)
  [ -n "$d" ] && rm -rf "$d"
  return 0
}

# One DWORD of the profile in decimal, "" when it is not there.
reg_int() {
  local v
  v=$(wine reg query "$VM_KEY" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" 'tolower($1) == tolower(n) && $2 == "REG_DWORD" { print $3 }')
  [ -n "$v" ] && printf '%d\n' "$v"
}
reg_set() {  # name value
  wine reg add "$VM_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1
}

# Starts the program (arguments as given) in the background. The exe may be
# another name for it (a copy). Output goes to the scratch folder: Wine's
# helpers would keep a pipe open.
vm_start_exe() {
  local exe=$1; shift
  wine "$exe" "$@" >>"$VM_SCRATCH/program.log" 2>&1 &
  VM_PID=$!
}
vm_start() { vm_start_exe "$VM_EXE" "$@"; }
vm_start_window() {  # args...: starts and waits for the main window
  vm_start "$@"
  if ! ui wait "$VM_TITLE" 30 >/dev/null; then
    vm_fail "main window did not appear (args: $*)"
    return 1
  fi
}

# Waits up to SECONDS for the program to end; its exit code, 124 when it did not.
vm_wait_exit() {
  local secs=$1 i
  for ((i = 0; i < secs * 10; i++)); do
    kill -0 "$VM_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$VM_PID" 2>/dev/null; then return 124; fi
  wait "$VM_PID"
  local code=$?
  VM_PID=
  return $code
}
vm_kill() {
  if [ -n "$VM_PID" ] && kill -0 "$VM_PID" 2>/dev/null; then
    kill "$VM_PID" 2>/dev/null
    wait "$VM_PID" 2>/dev/null
  fi
  VM_PID=
}
# Closes the main window and checks that the program ends.
vm_close() {
  ui close "$VM_TITLE" >/dev/null
  vm_wait_exit 15
  local code=$?
  if [ "$code" -eq 124 ]; then
    vm_fail "program still running 15 s after WM_CLOSE"
    vm_kill
  fi
  return $code
}
trap vm_kill EXIT

vm_shot() {  # name [window spec]: the main window (or another) as build/artifacts/NAME.png
  local bmp=$VM_SCRATCH/$1.bmp
  if ui shot "${2:-$VM_TITLE}" "$bmp" >/dev/null && convert "$bmp" "$VM_ARTIFACTS/$1.png" 2>/dev/null; then
    echo "screenshot: build/artifacts/$1.png"
  else
    vm_fail "screenshot $1 not saved"
  fi
}

vm_finish() {
  vm_kill
  if [ "$VM_FAILS" -ne 0 ]; then
    echo "$VM_NAME: $VM_FAILS failure(s)"
    exit 1
  fi
  echo "$VM_NAME: all checks passed"
  exit 0
}
