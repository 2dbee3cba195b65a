#!/usr/bin/env bash
# Dotwerk on a prefix without a settings file: the eight windows at the
# default layout, the painted work sheet, the settings written on exit and
# the moved windows coming back on the next start.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

rm -f "$DW_INI" "$DW_WINDIR/Dum.ini"
dw_start || dw_finish

# Windows by class; all but the CodePage View visible.
for c in ColorDotwerkEditor PixelView5 SwapView5 FontView5 ToolBox5 Palette5 Rainbow5; do
  dw_expect "$c visible" 1 "$(drv_get visible info $c)"
done
dw_expect "CodePage5 exists" "" "$(drv info CodePage5 | grep missing)"
dw_expect "CodePage5 visible" 0 "$(drv_get visible info CodePage5)"
dw_expect "main title" "New.sym - Color Dotwerk Editor  5.3.61" "$(drv_get title info ColorDotwerkEditor)"
dw_expect "Pixel View title" "Pixel View  - New.sym" "$(drv_get title info PixelView5)"

# The default layout from this prefix's metrics. A first start finds no
# version in the file and resets itself to the defaults once, which lays the
# windows out again with the Palette's y of the first layout.
read iw ih < <(drv_get icon metrics)
read bw bh < <(drv_get border metrics)
cap=$(drv_get caption metrics)
read fw fh < <(drv_get fullscreen metrics)
read sw sh < <(drv_get screen metrics)
edge=$(drv_get edge metrics)
tbw=$((2 * bw + 8 * iw + 48)); tbh=$((7 * (ih + 4) + cap + 8 + 2 * bh))
tbx=$((fw - tbw)); tby=$((fh - tbh + cap))
fvw=$((17 * (iw + 4) + 68)); fvh=$((ih + 12 + cap + 3 * bh))
mh=$((fh - tbh + cap))
pw=$((326 + 2 * edge)); ph=$((326 + 2 * edge + cap))
mw=$((fw - pw))
px=$((sw - pw)); py=$((tby - ph))
swy=$((py / 3)); [ "$swy" -lt "$cap" ] && swy=$((tby / 4))
vh=$swy; [ "$vh" -lt $((tbh / 2)) ] && vh=$((tbh / 2))
cpw=$((mw - fvw)); [ $((tbw * 9 / 8)) -gt "$cpw" ] && cpw=$((tbw * 9 / 8))
declare -A expect=(
  [ColorDotwerkEditor]="0 0 $mw $mh" [ToolBox5]="$tbx $tby $tbw $tbh" [FontView5]="0 $tby $fvw $fvh"
  [Palette5]="$px $py $pw $ph" [PixelView5]="$mw 0 $pw $vh" [SwapView5]="$mw $swy $pw $vh"
  [Rainbow5]="$mw $((2 * swy)) $pw $vh" [CodePage5]="$((tbx - cpw)) $mh $cpw $tbh")
declare -A rect
for c in "${!expect[@]}"; do
  rect[$c]=$(drv_get rect info "$c")
  dw_expect "$c rectangle" "${expect[$c]}" "${rect[$c]}"
done

# Pixels of the main window: separators, then the first cells (3-pixel cells
# with a 1-pixel grid; a white RGB picture on the light grey background).
dw_shot dotwerk_start_default
shot=$DW_ARTIFACTS/dotwerk_start_default.png
read ox oy < <(dw_origin ColorDotwerkEditor)
T=$((ih + 12))
dw_expect "separator y 0" "0,0,0" "$(dw_pixel "$shot" $((ox + 5)) $oy)"
dw_expect "separator y 1" "255,255,255" "$(dw_pixel "$shot" $((ox + 5)) $((oy + 1)))"
dw_expect "separator y icon+7" "0,0,0" "$(dw_pixel "$shot" $((ox + 5)) $((oy + ih + 7)))"
dw_expect "separator y icon+8" "255,255,255" "$(dw_pixel "$shot" $((ox + 5)) $((oy + ih + 8)))"
dw_expect "cell (0,T)" "255,255,255" "$(dw_pixel "$shot" $ox $((oy + T)))"
dw_expect "grid (2,T)" "192,192,192" "$(dw_pixel "$shot" $((ox + 2)) $((oy + T)))"

dw_close; code=$?
dw_expect "exit code" 0 "$code"
[ -f "$DW_INI" ] || dw_fail "no settings file written"
read x y w h <<<"${rect[ColorDotwerkEditor]}"
dw_expect "ini main" "$x $y $w $h" "$(ini_get Window xMainPos) $(ini_get Window yMainPos) $(ini_get Window xMainSize) $(ini_get Window yMainSize)"
read x y w h <<<"${rect[ToolBox5]}"
dw_expect "ini ToolBox" "$x $y" "$(ini_get Window xToolBoxPos) $(ini_get Window yToolBoxPos)"
read x y w h <<<"${rect[PixelView5]}"
dw_expect "ini Pixel View" "$x $y $w $h" "$(ini_get Window PixelViewPosX) $(ini_get Window PixelViewPosY) $(ini_get Window PixelViewSizeX) $(ini_get Window PixelViewSizeY)"
read x y w h <<<"${rect[Palette5]}"
dw_expect "ini Palette" "$x $y" "$(ini_get Window xPalettePos) $(ini_get Window yPalettePos)"
dw_expect "ini version" "Color Dotwerk Editor  5.3.61" "$(ini_get Version Version)"
cp "$DW_INI" "$DW_ARTIFACTS/dotwerk_start_first.ini"

# Moved windows come back where they were left.
dw_start || dw_finish
dw_expect "second start main" "${rect[ColorDotwerkEditor]}" "$(drv_get rect info ColorDotwerkEditor)"

# The tool windows follow the main window down and back up, and a maximised
# main window lays them out again.
drv syscmd ColorDotwerkEditor min >/dev/null
sleep 2
dw_expect "ToolBox minimised with the main window" 1 "$(drv_get iconic info ToolBox5)"
dw_expect "Pixel View minimised with the main window" 1 "$(drv_get iconic info PixelView5)"
drv syscmd ColorDotwerkEditor restore >/dev/null
sleep 2
dw_expect "ToolBox restored" "1 0" "$(drv_get visible info ToolBox5) $(drv_get iconic info ToolBox5)"
dw_expect "Palette restored" "1 0" "$(drv_get visible info Palette5) $(drv_get iconic info Palette5)"
dw_expect "CodePage View stays hidden" 0 "$(drv_get visible info CodePage5)"
drv move ToolBox5 100 100 "$tbw" "$tbh" >/dev/null
drv syscmd ColorDotwerkEditor max >/dev/null
sleep 2
dw_expect "ToolBox back at its default place" "${expect[ToolBox5]}" "$(drv_get rect info ToolBox5)"
drv syscmd ColorDotwerkEditor restore >/dev/null
sleep 1
drv move ColorDotwerkEditor 40 30 700 500 >/dev/null
drv move ToolBox5 300 200 "$tbw" "$tbh" >/dev/null
sleep 1
dw_close; code=$?
dw_expect "exit code after moves" 0 "$code"
dw_start || dw_finish
dw_expect "main back at the new place" "40 30 700 500" "$(drv_get rect info ColorDotwerkEditor)"
dw_expect "ToolBox back at the new place" "300 200 $tbw $tbh" "$(drv_get rect info ToolBox5)"
dw_shot dotwerk_start_moved
dw_close; code=$?
dw_expect "exit code" 0 "$code"
dw_finish
