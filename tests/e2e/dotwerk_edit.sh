#!/usr/bin/env bash
# The draw run: Dotwerk on seeded settings, worked with the mouse and the
# keyboard as a user would. Set 0 (48 x 32, black and white): the three pens,
# a line, hollow and solid rectangles and ellipses, a fill, a column and a row
# inserted and deleted, undo and redo by key, an 8 x 8 bitmap pasted from the
# clipboard, saved. Set 1 (10 elements of 8 x 8, 4 a row): a dot in each
# element, three empty elements inserted before element 5, element 0
# deleted, saved. Both files must equal the golden files byte for byte
# (tests/editor/EditGolden_test.cpp writes them from the expected cells and
# replays these same steps); the kept screenshots must show those cells.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"
source "$(dirname "$0")/../editor/e2e_edit_lib.sh"
edit_start

# Client position of the boundary left of column x and of the boundary
# above row y (the same points the host replay uses).
column_boundary() { echo $(($1 * CELL)) $((T + $2 * CELL + CELL / 2 - 1)); }
row_boundary() { echo $(($1 * CELL + CELL / 2 - 1)) $((T + $2 * CELL)); }

click() { drv click $M "$@" >/dev/null || dw_fail "click at $*"; }
drag() { drv drag $M "$@" >/dev/null || dw_fail "drag $*"; }

# Saves with File Save and compares the file with its golden twin.
save_and_compare() {  # file
  rm -f "$W/$1"
  cmd 57603
  local i
  for i in $(seq 50); do [ -s "$W/$1" ] && break; sleep 0.2; done
  sleep 0.5
  if cmp -s "$GOLDEN/$1" "$W/$1"; then
    dw_ok "$1 equals the golden file"
  else
    cp "$W/$1" "$DW_ARTIFACTS/dotwerk_edit_$1" 2>/dev/null
    dw_fail "$1 differs from the golden file (kept as build/artifacts/dotwerk_edit_$1)"
    diff <(tr -d '\r' <"$GOLDEN/$1") <(tr -d '\r' <"$W/$1" 2>/dev/null) | head -20
  fi
}

# The picture the golden file draws in its comments ('%' set), one row a
# line: its elements' rows side by side, `per_row` elements a grid row.
golden_rows() {  # file per_row
  tr -d '\r' <"$GOLDEN/$1" | awk -v per="$2" '
    /\/\* Element 0x/ { ++n; k = 0; next }
    match($0, /\/\*  [.%]+  \*\/$/) { row[n - 1, k++] = substr($0, RSTART + 4, RLENGTH - 8); h = k }
    END {
      for (g = 0; g * per < n; ++g)
        for (l = 0; l < h; ++l) { s = ""; for (e = g * per; e < g * per + per && e < n; ++e) s = s row[e, l]; print s }
    }'
}

# Every cell of the work sheet against the golden file's cells.
check_cells() {  # png golden-file width height elements-a-row what
  local shown want
  shown=$(sheet_cells "$1" "$3" "$4")
  want=$(golden_rows "$2" "$5" | head -n "$4")
  if [ "$shown" == "$want" ]; then
    dw_ok "$6: every cell shown as saved"
  else
    dw_fail "$6: the work sheet differs from the saved cells"
    diff <(echo "$want") <(echo "$shown") | head -20
  fi
}

# ---- Set 0 ----------------------------------------------------------------
cmd 10079  # Put Pixel
cmd 10019  # Black
drag $(at 10 1) $(at 14 1)
cmd 10020  # White
click $(at 12 1)
cmd 10078  # Toggle
drag $(at 9 1) $(at 13 1)
cmd 10019
cmd 10018; drag $(at 16 1) $(at 20 5)    # line
cmd 10016; drag $(at 23 1) $(at 29 6)    # hollow rectangle
cmd 10017; drag $(at 31 1) $(at 35 4)    # solid rectangle
cmd 10014; drag $(at 37 1) $(at 43 7)    # hollow ellipse
cmd 10015; drag $(at 10 9) $(at 16 15)   # solid ellipse
cmd 10282; click $(at 26 3)              # fill inside the hollow rectangle
cmd 10034; click $(column_boundary 40 20)
cmd 10035; click $(row_boundary 33 20)
cmd 10037; click $(at 5 25)
cmd 10038; click $(at 30 12)
dw_shot dotwerk_edit_before_undo
edited=$(sheet_cells "$DW_ARTIFACTS/dotwerk_edit_before_undo.png" 48 32)
drv keys $M ctrl+z >/dev/null
sleep 0.5
dw_shot dotwerk_edit_undone
undone=$(sheet_cells "$DW_ARTIFACTS/dotwerk_edit_undone.png" 48 32)
if [ "$undone" != "$edited" ]; then dw_ok "Ctrl+Z undid the row delete"; else dw_fail "Ctrl+Z changed no cell"; fi
drv keys $M ctrl+a >/dev/null
sleep 0.5
dw_shot dotwerk_edit_redone
if [ "$(sheet_cells "$DW_ARTIFACTS/dotwerk_edit_redone.png" 48 32)" == "$edited" ]; then
  dw_ok "Ctrl+A redid it"
else
  dw_fail "Ctrl+A did not give the edited cells back"
fi

bmp=$DW_ARTIFACTS/dotwerk_edit_paste.bmp
convert "$GOLDEN/paste8x8.pbm" -type truecolor "BMP3:$bmp"
dw_expect "8 x 8 bitmap on the clipboard" 8 "$(drv_get width clip bmp "$bmp")"
drv keys $M ctrl+v >/dev/null
if wait_dialog "Paste Clipboard to Icon Size"; then
  dw_expect "Copy Pixel to Pixel chosen" 1 "$(drv_get checked clickid "Paste Clipboard to Icon Size" 1016)"
  drv clickid "Paste Clipboard to Icon Size" 1 >/dev/null
  no_dialog || dw_fail "the paste dialog stayed open"
fi
sleep 0.5
dw_shot dotwerk_edit_set0
check_cells "$DW_ARTIFACTS/dotwerk_edit_set0.png" edit0.sym 48 32 1 "set 0"
save_and_compare edit0.sym

# ---- Set 1 ----------------------------------------------------------------
cmd 10154
sleep 1
cmd 10079
cmd 10019
for n in $(seq 0 9); do
  click $(at $((8 * (n % 4) + n % 8)) $((8 * (n / 4) + 7 - n / 8)))
done
cmd 10350  # Empty Element
click $(at 8 12)
if wait_dialog "Insert Elements"; then
  dw_expect "count typed" 3 "$(drv_get text settext "Insert Elements" 1695 3)"
  drv clickid "Insert Elements" 1 >/dev/null
  no_dialog || dw_fail "the insert dialog stayed open"
fi
cmd 10503  # Delete One Element
cmd 10352
click $(at 3 3)
sleep 0.5
dw_shot dotwerk_edit_set1
check_cells "$DW_ARTIFACTS/dotwerk_edit_set1.png" edit1.sym 32 24 4 "set 1"
save_and_compare edit1.sym

dw_close; code=$?
dw_expect "exit code" 0 "$code"
dw_finish
