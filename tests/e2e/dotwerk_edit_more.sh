#!/usr/bin/env bash
# The second draw run, on the same seeded settings: what must change nothing
# and what must not run away. A bar and a dot drawn in set 0; text on the
# clipboard and Ctrl+V give one "Unsupported ClipBoard format" box and no
# change; a bitmap pasted and cancelled leaves the cells; the ToolBox's turn
# (button 54) by "90", applied and cancelled, leaves them too; applied and
# kept with OK it turns them (the save equals the golden file
# tests/editor/EditGolden_test.cpp writes); the toolbar's x2 held for 12 s
# neither crashes nor passes the largest cell size.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"
source "$(dirname "$0")/../editor/e2e_edit_lib.sh"
edit_start

# The cells the work sheet shows now (a kept screenshot named $1).
shown_cells() {
  dw_shot "$1" >/dev/null
  sheet_cells "$DW_ARTIFACTS/$1.png" 48 32
}
same_cells() {  # what shot
  if [ "$(shown_cells "$2")" == "$drawn" ]; then dw_ok "$1: cells as before"; else dw_fail "$1: the cells changed"; fi
}

# ToolBox button b's middle (8 a row, a wider gap after the fourth column).
toolbox_button() {
  local c=$(($1 % 8)) r=$(($1 / 8))
  echo $((c * (iw + 4) + 4 + (c > 3 ? 8 : 0) + iw / 2)) $((r * (ih + 4) + 4 + ih / 2))
}

# The ToolBox's last row lies below the screen's edge in the default
# layout: moved up as a user would.
read tx ty tw th < <(drv_get rect info ToolBox5)
read sw sh < <(drv_get screen metrics)
drv move ToolBox5 "$tx" $((sh - th - 40)) "$tw" "$th" >/dev/null

cmd 10019
cmd 10017; drv drag $M $(at 4 3) $(at 21 7) >/dev/null
cmd 10018; drv drag $M $(at 30 20) $(at 30 20) >/dev/null
cmd 10079
drawn=$(shown_cells dotwerk_edit_more_drawn)

# Text on the clipboard: one box, nothing pasted.
drv clip text "some text" >/dev/null
drv keys $M ctrl+v >/dev/null
box=$(drv dialog 10)
dw_expect "box text" 'Unsupported ClipBoard format.\nClipboard contains text' "$(printf '%s\n' "$box" | sed -n 's/^text=//p' | head -1)"
drv press 1 >/dev/null
if no_dialog; then dw_ok "one box only"; else dw_fail "a dialog stayed open: $(drv dialog 0 | head -1)"; fi
same_cells "text on the clipboard" dotwerk_edit_more_text

# A bitmap pasted, then Cancel.
bmp=$DW_ARTIFACTS/dotwerk_edit_more_paste.bmp
convert "$GOLDEN/paste8x8.pbm" -type truecolor "BMP3:$bmp"
drv clip bmp "$bmp" >/dev/null
drv keys $M ctrl+v >/dev/null
P="Paste Clipboard to Icon Size"
if wait_dialog "$P"; then
  drv clickid "$P" 1016 >/dev/null
  sleep 0.5
  if [ "$(shown_cells dotwerk_edit_more_pasting)" != "$drawn" ]; then dw_ok "the paste previews"; else dw_fail "no preview"; fi
  drv clickid "$P" 2 >/dev/null
  no_dialog || dw_fail "the paste dialog stayed open"
fi
sleep 0.5
same_cells "paste cancelled" dotwerk_edit_more_paste_cancelled

# The ToolBox's turn: "90", Apply, Cancel; then "90", Apply, OK.
turn() {  # the button that ends the dialog
  drv click ToolBox5 $(toolbox_button 54) >/dev/null
  local D="Twist and Turn Picture"
  if wait_dialog "$D"; then
    dw_expect "amount typed" 90 "$(drv_get text settext "$D" 1035 90)"
    drv clickid "$D" 1821 >/dev/null
    sleep 1
    if [ "$(shown_cells dotwerk_edit_more_turning)" != "$drawn" ]; then dw_ok "Apply turns"; else dw_fail "Apply changed nothing"; fi
    drv clickid "$D" "$1" >/dev/null
    no_dialog || dw_fail "the twist dialog stayed open"
  fi
  sleep 0.5
}
turn 2
same_cells "turn cancelled" dotwerk_edit_more_turn_cancelled
turn 1
rm -f "$W/edit0.sym"
cmd 57603
for i in $(seq 50); do [ -s "$W/edit0.sym" ] && break; sleep 0.2; done
sleep 0.5
if cmp -s "$GOLDEN/edit0_turned.sym" "$W/edit0.sym"; then
  dw_ok "the turned picture equals the golden file"
else
  cp "$W/edit0.sym" "$DW_ARTIFACTS/dotwerk_edit_more_turned.sym" 2>/dev/null
  dw_fail "the turned picture differs from the golden file (kept as build/artifacts/dotwerk_edit_more_turned.sym)"
fi

# x2 (the right upper quarter of toolbar button 9) held for 12 seconds.
x9=$((9 * iw + 4 * (9 + 12 + 1)))
drv mouse $M down $((x9 + iw * 3 / 4)) $((4 + ih / 4)) >/dev/null
sleep 12
drv mouse $M up $((x9 + iw * 3 / 4)) $((4 + ih / 4)) >/dev/null
sleep 1
dw_expect "still running after x2 held" 1 "$(drv_get visible info $M)"

dw_close; code=$?
dw_expect "exit code" 0 "$code"
size=$(ini_get Size0 MainGroupPixSize)
if [ -n "$size" ] && [ "$size" -le 10456 ] && [ "$size" -gt 10206 ]; then
  dw_ok "MainGroupPixSize grew and stayed at most 10456 ($size)"
else
  dw_fail "MainGroupPixSize after x2 held: '$size'"
fi
dw_finish
