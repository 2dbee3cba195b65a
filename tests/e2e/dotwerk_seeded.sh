#!/usr/bin/env bash
# Dotwerk started on a prepared settings file: a black-and-white group in
# set 0 with its element grid and frame, a palette picture in set 1, and the
# switch between the two sets.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

rm -f "$DW_INI"
printf '%s\r\n' '[Version]' 'Version=Color Dotwerk Editor  5.3.61' \
  '[Size0]' 'xDotMap=64' 'yDotMap=32' 'MainGroupPixSize=10204' \
  '[Element0]' 'xElement=8' 'yElement=8' 'Count=16' 'Countx=8' 'ShowIconOrGroup=10099' \
  '[Palette0]' 'InternalColorType=10665' \
  '[Palette1]' 'InternalPaletteType=10668' 'RgbSymbol255=255' >"$DW_INI"
dw_start || dw_finish

read iw ih < <(drv_get icon metrics)
T=$((ih + 12))
dw_shot dotwerk_seeded_set0
shot=$DW_ARTIFACTS/dotwerk_seeded_set0.png
read ox oy < <(dw_origin ColorDotwerkEditor)
px() { dw_pixel "$shot" $((ox + $1)) $((oy + $2)); }
dw_expect "element grid line (64, T+10)" "0,140,0" "$(px 64 $((T + 10)))"
dw_expect "frame left (0, T+10)" "140,0,0" "$(px 0 $((T + 10)))"
dw_expect "frame top (16, T)" "140,0,0" "$(px 16 $T)"
dw_expect "clear cell (5, T+5)" "255,255,255" "$(px 5 $((T + 5)))"
dw_expect "pixel grid (7, T+5)" "192,192,192" "$(px 7 $((T + 5)))"
dw_expect "Palette hidden in black and white" 0 "$(drv_get visible info Palette5)"
dw_expect "10153 checked" 1 "$(drv_get checked menu ColorDotwerkEditor 10153)"

drv command ColorDotwerkEditor 10154 >/dev/null
sleep 2
dw_shot dotwerk_seeded_set1
shot=$DW_ARTIFACTS/dotwerk_seeded_set1.png
dw_expect "set 1 background (0, T)" "255,0,0" "$(px 0 $T)"
dw_expect "Palette shown" 1 "$(drv_get visible info Palette5)"
dw_expect "Rainbow hidden" 0 "$(drv_get visible info Rainbow5)"
dw_expect "10154 checked" 1 "$(drv_get checked menu ColorDotwerkEditor 10154)"
dw_expect "10153 unchecked" 0 "$(drv_get checked menu ColorDotwerkEditor 10153)"
dw_expect "Swap View title" "Swap View  - New.sym" "$(drv_get title info SwapView5)"

dw_close; code=$?
dw_expect "exit code" 0 "$code"
dw_expect "set 0 stays black and white" 10665 "$(ini_get Palette0 InternalColorType)"
dw_expect "set 0 group size" "64 32" "$(ini_get Size0 xDotMap) $(ini_get Size0 yDotMap)"
dw_finish
