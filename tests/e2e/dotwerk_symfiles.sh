#!/usr/bin/env bash
# Symbol and code-page files end to end: both sets reloaded at start-up from
# seeded files (set 0 a `Font Ver.2` group naming its code page, set 1 a C
# Source single icon), Save All writing the group back byte for byte with
# its font header.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

W=$WINEPREFIX/drive_c/w
rm -rf "$W"
mkdir -p "$W"
D="   Dotwerk FileDescriptor: Do not edit or move */"

# The group: two 8 x 8 symbols, characters 0x41 and 0x42 from font.cp.
{
  printf '/*Y 8 8 8 2  CP<font.cp> . font[2]={  font.sym%s\r\n' "$D"
  printf '/* Put Your Comments Here */\r\n'
  for i in $(seq 20); do printf '/* */\r\n'; done
  for e in 0 1; do
    printf '\r\n/* Element 0x%04X - Char 0x%04X */\r\n{{8, 8},{\r\n' $e $((0x41 + e))
    for r in 0 1 2 3 4 5 6; do
      if [ $(( (r + e) % 2 )) -eq 0 ]; then printf '0x81,  /*  %%......%%  */\r\n'; else printf '0x00,  /*  ........  */\r\n'; fi
    done
    printf '0xFF   /*  %%%%%%%%%%%%%%%%  */\r\n}}\r\n'
    [ $e -eq 0 ] && printf ',\r\n'
  done
  printf '\n'
} >"$W/font.sym"
{
  printf '/*W  font.cp %s\r\n' "$D"
  printf '{1,0x20},{ /*  First number is number of ranges, last number is default Character F.x. ASCII space  */\r\n'
  printf '{ 0x0041, 0x0042, 0x0000 }/* Segment 0, 0x0002 Symbols */\r\n'
  printf '}\r\n'
} >"$W/font.cp"
{
  printf '/*E A 8  icon.sym%s\r\n' "$D"
  printf '/* Put Your Comments Here */\r\n'
  for i in $(seq 20); do printf '/* */\r\n'; done
  printf '\r\n/* Element 0x0000 - Char 0x0020 */\r\n{{8, 2},{\r\n0xF0,  /*  %%%%%%%%....  */\r\n0x0F   /*  ....%%%%%%%%  */\r\n}}\r\n\n'
} >"$W/icon.sym"
printf 'just some text\r\n' >"$W/plain.txt"
cp "$W/font.sym" "$W/font.sym.seed"
cp "$W/font.cp" "$W/font.cp.seed"

rm -f "$DW_INI"
printf '%s\r\n' '[Version]' 'Version=Color Dotwerk Editor  5.3.61' \
  '[File]' 'ReloadFilesAtStartUp=1' \
  '[File0]' 'File=C:\w\font.sym' 'FileTitle=font.sym' 'InitialDir=C:\w\' 'CodePageFile=C:\w\font.cp' 'CodePageFileTitle=font.cp' \
  '[File1]' 'File=C:\w\icon.sym' 'FileTitle=icon.sym' 'InitialDir=C:\w\' \
  '[Palette0]' 'InternalColorType=10665' '[Palette1]' 'InternalColorType=10665' >"$DW_INI"

dw_start || dw_finish
sleep 1
dw_shot dotwerk_symfiles_group
dw_expect "code page in use: 10360 enabled" 0 "$(drv_get grayed menu ColorDotwerkEditor 10360)"

drv command ColorDotwerkEditor 10661 >/dev/null
sleep 2
dw_close; code=$?
dw_expect "exit code" 0 "$code"
if cmp -s "$W/font.sym" "$W/font.sym.seed"; then dw_ok "font.sym byte-identical"; else dw_fail "font.sym differs"; fi
if cmp -s "$W/font.cp" "$W/font.cp.seed"; then dw_ok "font.cp byte-identical"; else dw_fail "font.cp differs"; fi
if [ -s "$W/font.c" ] && grep -q 'GCODE GFONT FCODE font =' "$W/font.c"; then dw_ok "font.c written"; else dw_fail "font.c missing"; fi
dw_expect "no temporary files left" "" "$(ls "$W" | grep -F '.$$$')"
dw_finish
