# Helpers of the draw runs: Dotwerk started on the seeded settings of
# tests/editor/golden, worked by mouse and key at 6-pixel cells (10206).
# Sourced after e2e_lib.sh; sets GOLDEN, M, W, T and CELL.
GOLDEN=$ROOT/tests/editor/golden
M=ColorDotwerkEditor
W=$WINEPREFIX/drive_c/w

# Starts the editor on a fresh work folder and the seeded settings.
edit_start() {
  rm -rf "$W"
  mkdir -p "$W"
  cp "$GOLDEN/edit_seed.ini" "$DW_INI"
  dw_start || dw_finish
  read iw ih < <(drv_get icon metrics)
  T=$((ih + 12))  # the work sheet starts under the icon strip
  CELL=6          # 10206: 6 screen pixels a cell, the last one the grid
}

# Client position of the middle of cell (x, y).
at() { echo $(($1 * CELL + CELL / 2 - 1)) $((T + $2 * CELL + CELL / 2 - 1)); }

# A command posted to the main window, given time to run before the mouse.
cmd() { drv command $M "$1" >/dev/null; sleep 0.3; }

# Waits for the dialog titled $1.
wait_dialog() {
  local i
  for i in $(seq 50); do
    if [ "$(drv_get title dialog 0)" == "$1" ]; then return 0; fi
    sleep 0.2
  done
  dw_fail "dialog \"$1\" did not open"
  return 1
}
# Waits until no dialog is open.
no_dialog() {
  local i
  for i in $(seq 50); do
    if ! wine "$DW_DRIVER" dialog 0 >/dev/null 2>&1; then return 0; fi
    sleep 0.2
  done
  return 1
}

# The cells a screenshot shows ('%' black, '.' white), one row a line: the
# middle pixel of each cell of the work sheet's top-left w x h cells.
sheet_cells() {  # png w h
  local w=$2 h=$3
  read ox oy < <(dw_origin $M)
  convert "$1" -crop "$((w * CELL))x$((h * CELL))+$ox+$((oy + T))" +repage \
    -sample "${w}x${h}!" -threshold 50% -depth 8 txt:- 2>/dev/null |
    awk -F'[,: ]+' -v w="$w" -v h="$h" 'NR > 1 { v[$2, $1] = ($0 ~ /#000000/) ? "%" : "." }
      END { for (y = 0; y < h; ++y) { s = ""; for (x = 0; x < w; ++x) s = s v[y, x]; print s } }'
}
