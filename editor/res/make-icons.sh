#!/usr/bin/env bash
# Regenerates the placeholder icon art of Dotwerk (32 x 32, one file per
# resource id). Needs ImageMagick; the .ico files are kept in the tree so a
# build does not.
set -euo pipefail
cd "$(dirname "$0")"
icon() {  # id background label [pressed]
  local id=$1 bg=$2 label=$3 pressed=${4:-}
  local frame='#ffffff' shade='#404040'
  if [ -n "$pressed" ]; then frame='#404040'; shade='#ffffff'; fi
  convert -size 32x32 xc:"$bg" \
    -fill none -stroke "$frame" -draw 'line 0,0 31,0' -draw 'line 0,0 0,31' \
    -stroke "$shade" -draw 'line 31,0 31,31' -draw 'line 0,31 31,31' \
    -stroke none -fill black -font DejaVu-Sans-Bold -pointsize 11 -gravity center \
    -annotate +0+0 "$label" -depth 8 "icon$id.ico"
}
# Window classes.
icon 101 '#f0c040' 'Dw'; icon 902 '#80c0ff' 'PV'; icon 402 '#c0ffc0' 'Aa'
icon 434 '#e0e0e0' 'TB'; icon 926 '#ff80ff' 'Pal'; icon 946 '#ffa060' 'RB'; icon 977 '#ffffff' 'CP'
# Toolbar slot 0 by colour mode and view.
icon 927 '#ffffff' 'B/W'; icon 1649 '#ffffff' 'B/Wg'; icon 928 '#ffc0ff' 'Pal'; icon 1648 '#ffc0ff' 'Palg'
icon 931 '#c0c0c0' 'GrP'; icon 1651 '#c0c0c0' 'GrPg'; icon 929 '#ffe080' 'RGB'; icon 1650 '#ffe080' 'RGBg'
icon 932 '#a0a0a0' 'Gr'; icon 391 '#ff4040' '?'
# Slots 1..11, released and pressed.
icon 701 '#d0e0ff' 'Open'; icon 801 '#a0b0d0' 'Open' p
icon 702 '#d0e0ff' 'Save'; icon 802 '#a0b0d0' 'Save' p
icon 703 '#d0e0ff' 'Prn'; icon 803 '#a0b0d0' 'Prn' p
icon 704 '#ffe0d0' 'CutF'; icon 804 '#d0b0a0' 'CutF' p
icon 1995 '#ffe0d0' 'CutE'; icon 1996 '#d0b0a0' 'CutE' p
icon 2010 '#ffe0d0' 'Cut'; icon 2011 '#d0b0a0' 'Cut' p
icon 705 '#ffe0d0' 'Copy'; icon 805 '#d0b0a0' 'Copy' p
icon 706 '#ffe0d0' 'Pst'; icon 806 '#d0b0a0' 'Pst' p
icon 2001 '#e0ffe0' 'U/R'; icon 2002 '#b0d0b0' 'Undo' p; icon 2003 '#b0d0b0' 'Redo' p
icon 2012 '#e0e0e0' 'Chr'; icon 1727 '#e0ffff' 'Chr'; icon 1508 '#b0d0d0' 'Chr+' p; icon 2004 '#b0d0d0' 'Chr-' p
icon 1630 '#fff0c0' 'Pix'; icon 1631 '#d0c090' '+1' p; icon 1632 '#d0c090' '-1' p
icon 1633 '#d0c090' 'x2' p; icon 1634 '#d0c090' '/2' p
icon 710 '#e0e0e0' 'Set0'; icon 810 '#80ff80' 'Set0' p
icon 711 '#e0e0e0' 'Set1'; icon 811 '#80ff80' 'Set1' p
