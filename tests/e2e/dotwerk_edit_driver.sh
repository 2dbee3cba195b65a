#!/usr/bin/env bash
# The UI driver's input, clipboard and dialog verbs against its own target
# window, which prints every message it gets: what the editing runs rely on
# (real mouse and key input with modifiers, the clipboard, dialog controls).
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

log=$DW_ARTIFACTS/dotwerk_edit_driver_target.log
wine "$DW_DRIVER" target >"$log" 2>/dev/null &
DW_PID=$!
for i in $(seq 100); do grep -q ready "$log" && break; sleep 0.1; done
grep -q ready "$log" || { dw_fail "the target did not start"; dw_finish; }

seen=0
# run VERB...: the driver's output; marks the log so that only lines the
# target prints from now on count.
run() { seen=$(wc -l <"$log"); drv "$@"; }
# saw LINE...: the target printed each line, in this order, since the mark.
saw() {
  local got
  got=$(tail -n +$((seen + 1)) "$log" | tr -d '\r')
  local want i=0 line
  for want in "$@"; do
    line=$(printf '%s\n' "$got" | tail -n +$((i + 1)) | grep -nxF -- "$want" | head -1 | cut -d: -f1)
    [ -n "$line" ] || { echo "$got" | tr '\n' '|'; return 1; }
    i=$((i + line))
  done
}
check() {  # name line...
  local name=$1; shift
  local got
  if got=$(saw "$@"); then dw_ok "$name"; else dw_fail "$name: target saw $got"; fi
}
W=DotwerkDriverTarget
# Key state flags of the mouse messages: 1 left, 2 right, 8 Ctrl.
run click $W 10 20 >/dev/null
check "left click" "lbuttondown 10 20 1" "lbuttonup 10 20 0"
run click $W 50 60 right ctrl >/dev/null
check "Ctrl + right click" "keydown 17 ctrl=1 shift=0" "rbuttondown 50 60 10" "rbuttonup 50 60 8"
run drag $W 10 10 30 10 30 18 >/dev/null
check "drag, every step" "lbuttondown 10 10 1" "mousemove 14 10 1" "mousemove 18 10 1" "mousemove 22 10 1" \
  "mousemove 26 10 1" "mousemove 30 10 1" "mousemove 30 14 1" "mousemove 30 18 1" "lbuttonup 30 18 0"
seen0=$(wc -l <"$log")
drv mouse $W down 100 100 >/dev/null
drv mouse $W move 104 100 >/dev/null
drv mouse $W up 108 100 >/dev/null
seen=$seen0
check "button held over separate runs" "lbuttondown 100 100 1" "mousemove 104 100 1" "lbuttonup 108 100 0"
run keys $W ctrl+z ctrl+a esc >/dev/null
check "keys with modifiers" "keydown 90 ctrl=1 shift=0" "keydown 65 ctrl=1 shift=0" "keydown 27 ctrl=0 shift=0"
dw_expect "a covered point is refused" "covered=#32769" "$(drv click $W 100 500)"

# Dialog controls.
T="Driver Check"
dw_expect "settext reads back" 90 "$(run settext "$T" 1035 90 | sed -n 's/^text=//p')"
check "the dialog saw the typing" "dlgchange 1035 9" "dlgchange 1035 90"
dw_expect "control text" 90 "$(drv_get text control "$T" 1035)"
dw_expect "check box clicked" 1 "$(run clickid "$T" 1221 | sed -n 's/^checked=//p')"
check "check box notified" "dlgcommand 1221 0"
dw_expect "check box clicked again" 0 "$(drv_get checked clickid "$T" 1221)"
dw_expect "radio button" 1 "$(drv_get checked clickid "$T" 1811)"
dw_expect "other radio button cleared" 0 "$(drv_get checked control "$T" 1810)"
run clickid "$T" 1821 >/dev/null
check "push button" "dlgcommand 1821 0"
dw_expect "scroll bar position" 40 "$(run scrollbar "$T" 1820 40 | sed -n 's/^pos=//p')"
check "scroll bar notified" "vscroll 5 40" "vscroll 4 40" "vscroll 8 0"
dw_expect "scroll bar range" "0 255" "$(drv_get min control "$T" 1820) $(drv_get max control "$T" 1820)"
dw_expect "missing dialog" "missing=No Such Dialog" "$(drv control "No Such Dialog" 1)"

# Clipboard: a BMP put as CF_BITMAP comes back as the same pixels.
bmp=$DW_ARTIFACTS/dotwerk_edit_driver_in.bmp
out=$DW_ARTIFACTS/dotwerk_edit_driver_out.bmp
convert -size 8x8 xc:white -fill black -draw "rectangle 0,0 3,3" -draw "point 7,7" -type truecolor "BMP3:$bmp"
dw_expect "clip bmp" "8 8" "$(drv clip bmp "$bmp" | sed -n 's/^width=//p;s/^height=//p' | paste -sd' ')"
dw_expect "bitmap on the clipboard" "1 0" "$(drv_get bitmap clip info) $(drv_get text clip info)"
rm -f "$out"
dw_expect "clip get" "$out" "$(drv_get saved clip get "$out")"
diff=$(compare -metric AE "$bmp" "$out" null: 2>&1)
dw_expect "clipboard bitmap round trip (differing pixels)" 0 "$diff"
drv clip text "some text" >/dev/null
dw_expect "text on the clipboard" "0 1" "$(drv_get bitmap clip info) $(drv_get text clip info)"
dw_expect "no bitmap to get" "missing=bitmap" "$(drv clip get "$out")"
drv clip empty >/dev/null
dw_expect "emptied" "" "$(drv_get formats clip info)"

drv close $W >/dev/null
wait "$DW_PID"
DW_PID=
dw_finish
