#!/usr/bin/env bash
# Scrolling a picture larger than the work sheet with Page Down and End.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

rm -f "$DW_INI"
printf '%s\r\n' '[Version]' 'Version=Color Dotwerk Editor  5.3.61' \
  '[Size0]' 'xDotMap=1600' 'yDotMap=1200' 'MainGroupPixSize=10203' >"$DW_INI"
dw_start || dw_finish

read iw ih < <(drv_get icon metrics)
th=$(drv_get textheight metrics)
read cx cy cw ch < <(drv_get client info ColorDotwerkEditor)
sheet=$((ch - (ih + 12) - (th + 16)))
visible=$((sheet / 3))
dw_expect "starts at the top" 0 "$(drv_get vpos scroll ColorDotwerkEditor)"
vmax=$(drv_get vmax scroll ColorDotwerkEditor)
dw_expect "scroll maximum" "$(((1200 * 3 - sheet) / 3 + 1))" "$vmax"
drv key ColorDotwerkEditor 34 >/dev/null  # Page Down
sleep 1
dw_expect "Page Down moves visible rows - element height" $((visible - 8)) "$(drv_get vpos scroll ColorDotwerkEditor)"
dw_shot dotwerk_scroll_pagedown
drv key ColorDotwerkEditor 35 >/dev/null  # End
sleep 1
dw_expect "End goes to the maximum" "$vmax" "$(drv_get vpos scroll ColorDotwerkEditor)"
drv key ColorDotwerkEditor 36 >/dev/null  # Home
sleep 1
dw_expect "Home goes back to the top" 0 "$(drv_get vpos scroll ColorDotwerkEditor)"
dw_close; code=$?
dw_expect "exit code" 0 "$code"
dw_finish
