# Shared helpers of the Dotwerk end-to-end scripts (tests/e2e/dotwerk_*.sh).
# Expects DISPLAY and WINEPREFIX from scripts/run-win32-tests.sh; the build
# directory is DOTWERK_BUILD (default build/win32). Screenshots go to
# build/artifacts/.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
cd "$ROOT"
DW_BUILD=${DOTWERK_BUILD:-${WIN32_BUILD:-build/win32}}
DW_EXE=$DW_BUILD/editor/Dotwerk.exe
DW_DRIVER=$DW_BUILD/tests/dotwerk_driver.exe
DW_INICHECK=$DW_BUILD/tests/dotwerk_inicheck.exe
DW_ARTIFACTS=$ROOT/build/artifacts
DW_WINDIR=$WINEPREFIX/drive_c/windows
DW_INI=$DW_WINDIR/dotwerk5.ini
DW_FAILS=0
DW_PID=
mkdir -p "$DW_ARTIFACTS"

for f in "$DW_EXE" "$DW_DRIVER" "$DW_INICHECK"; do
  if [ ! -e "$f" ]; then
    echo "SKIP: $f not built"
    exit 0
  fi
done

# Without a window manager on the virtual display, Wine draws the window
# frames itself (and hides windows without waiting for a manager).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

dw_fail() { echo "FAIL: $*"; DW_FAILS=$((DW_FAILS + 1)); }
dw_ok() { echo "ok: $*"; }
dw_expect() {  # what expected actual
  if [ "$2" == "$3" ]; then dw_ok "$1 = $3"; else dw_fail "$1: expected '$2', got '$3'"; fi
}

drv() { wine "$DW_DRIVER" "$@" 2>/dev/null | tr -d '\r'; }
# One field of the driver's "key=value" output.
drv_get() {  # key command args...
  local key=$1; shift
  drv "$@" | sed -n "s/^$key=//p"
}

# Starts the editor and waits for its main window.
dw_start() {
  wine "$DW_EXE" >/dev/null 2>&1 &
  DW_PID=$!
  if ! wine "$DW_DRIVER" wait ColorDotwerkEditor 60 >/dev/null 2>&1; then
    dw_fail "main window did not appear"
    return 1
  fi
  sleep 2  # let the start-up commands and the second timer tick run
}

# Closes the main window and returns the program's exit code (124 on hang).
dw_close() {
  drv close ColorDotwerkEditor >/dev/null
  local i
  for i in $(seq 100); do
    if ! kill -0 "$DW_PID" 2>/dev/null; then break; fi
    sleep 0.2
  done
  if kill -0 "$DW_PID" 2>/dev/null; then
    kill "$DW_PID" 2>/dev/null
    wait "$DW_PID" 2>/dev/null
    DW_PID=
    return 124
  fi
  wait "$DW_PID"
  local code=$?
  DW_PID=
  return $code
}

dw_cleanup() {
  if [ -n "$DW_PID" ] && kill -0 "$DW_PID" 2>/dev/null; then
    kill "$DW_PID" 2>/dev/null
    wait "$DW_PID" 2>/dev/null
  fi
}
trap dw_cleanup EXIT

dw_shot() {  # name
  import -window root "$DW_ARTIFACTS/$1.png" 2>/dev/null && echo "screenshot: build/artifacts/$1.png"
}

# "r,g,b" of a screen pixel in a screenshot.
dw_pixel() {  # png x y
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info: 2>/dev/null
}

# Client origin "x y" of a window on the screen.
dw_origin() {  # class
  drv_get client info "$1" | awk '{print $1, $2}'
}

# A key of the settings file ("" when missing).
ini_get() {  # section key
  awk -v s="[$1]" -v k="$2" '
    { sub(/\r$/, "") }
    /^\[/ { insec = (tolower($0) == tolower(s)); next }
    insec { i = index($0, "="); if (i > 0 && tolower(substr($0, 1, i - 1)) == tolower(k)) { print substr($0, i + 1); exit } }
  ' "$DW_INI"
}

dw_finish() {
  if [ "$DW_FAILS" -ne 0 ]; then
    echo "$(basename "$0"): $DW_FAILS failure(s)"
    exit 1
  fi
  echo "$(basename "$0"): all checks passed"
  exit 0
}
