#!/usr/bin/env bash
# File Open through the common dialog: a code-page file typed into the
# dialog puts its code page in use (and with it "Save CodePage File As..."),
# and a plain text file is refused with "Unknown format" while the work
# sheet, the picture and the code page stay exactly as they were.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

W=$WINEPREFIX/drive_c/w
rm -rf "$W"
mkdir -p "$W"
D="   Dotwerk FileDescriptor: Do not edit or move */"

# A C Source single icon (no code page of its own), reloaded at start-up so
# the work sheet shows a picture the refused open must not touch.
{
  printf '/*E A 8  icon.sym%s\r\n' "$D"
  printf '/* Put Your Comments Here */\r\n'
  for i in $(seq 20); do printf '/* */\r\n'; done
  printf '\r\n/* Element 0x0000 - Char 0x0020 */\r\n{{8, 2},{\r\n0xF0,  /*  %%%%%%%%....  */\r\n0x0F   /*  ....%%%%%%%%  */\r\n}}\r\n\n'
} >"$W/icon.sym"
# Set 1 is reloaded first and a failure there stops the reload: give it a file.
cp "$W/icon.sym" "$W/other.sym"
# One range for the icon's one element.
{
  printf '/*W  chars.cp %s\r\n' "$D"
  printf '{1,0x41},{ /*  First number is number of ranges, last number is default Character F.x. ASCII space  */\r\n'
  printf '{ 0x0041, 0x0041, 0x0000 }/* Segment 0, 0x0001 Symbols */\r\n'
  printf '}\r\n'
} >"$W/chars.cp"
printf 'just some text\r\nwith a second line\r\n' >"$W/plain.txt"

rm -f "$DW_INI"
printf '%s\r\n' '[Version]' 'Version=Color Dotwerk Editor  5.3.61' \
  '[File]' 'ReloadFilesAtStartUp=1' \
  '[File0]' 'File=C:\w\icon.sym' 'FileTitle=icon.sym' 'InitialDir=C:\w\' \
  '[File1]' 'File=C:\w\other.sym' 'FileTitle=other.sym' 'InitialDir=C:\w\' \
  '[Palette0]' 'InternalColorType=10665' '[Palette1]' 'InternalColorType=10665' >"$DW_INI"

dw_start || dw_finish
# The reload runs on the second timer tick.
for i in $(seq 50); do
  case "$(drv_get title info ColorDotwerkEditor)" in icon.sym*) break ;; esac
  sleep 0.2
done
dw_expect "set 0 reloaded" "icon.sym - Color Dotwerk Editor  5.3.61" "$(drv_get title info ColorDotwerkEditor)"
dw_expect "no code page in use: 10360 greyed" 1 "$(drv_get grayed menu ColorDotwerkEditor 10360)"

# Waits until no dialog box is left open (the editor is idle again).
no_dialog() {
  local i
  for i in $(seq 50); do
    if ! wine "$DW_DRIVER" dialog 0 >/dev/null 2>&1; then return 0; fi
    sleep 0.2
  done
  return 1
}

# Opens a file through File Open's common dialog.
open_file() {  # windows-path
  drv command ColorDotwerkEditor 57601 >/dev/null
  dw_expect "file name typed" "$1" "$(drv_get typed filename "$1")"
}

open_file 'C:\w\chars.cp'
sleep 1
if no_dialog; then dw_ok "code page read without a message"; else dw_fail "a dialog stayed open: $(drv dialog 0)"; fi
dw_expect "code page in use: 10360 enabled" 0 "$(drv_get grayed menu ColorDotwerkEditor 10360)"

read ox oy < <(dw_origin ColorDotwerkEditor)
read cw ch < <(drv_get client info ColorDotwerkEditor | awk '{print $3, $4}')
sheet="${cw}x${ch}+${ox}+${oy}"
dw_shot dotwerk_openfile_before
before=$DW_ARTIFACTS/dotwerk_openfile_before.png

open_file 'C:\w\plain.txt'
box=$(drv dialog 30)
dw_expect "message box caption" "Color Dotwerk Editor  5.3.61" "$(printf '%s\n' "$box" | sed -n 's/^title=//p')"
text=$(printf '%s\n' "$box" | sed -n 's/^text=//p' | head -1)
case "$text" in
  'Unknown format\n\nIf this is a C-format it MUST start with /* */'*) dw_ok "message: Unknown format" ;;
  *) dw_fail "message: got '$text'" ;;
esac
dw_shot dotwerk_openfile_refused
drv press 1 >/dev/null
if no_dialog; then dw_ok "message box closed"; else dw_fail "message box still open"; fi
sleep 1
dw_shot dotwerk_openfile_after
after=$DW_ARTIFACTS/dotwerk_openfile_after.png

# The main window's client area (ToolBox strip, work sheet and status line)
# pixel for pixel.
convert "$before" -crop "$sheet" +repage "$DW_ARTIFACTS/dotwerk_openfile_sheet_before.png"
convert "$after" -crop "$sheet" +repage "$DW_ARTIFACTS/dotwerk_openfile_sheet_after.png"
diff=$(compare -metric AE "$DW_ARTIFACTS/dotwerk_openfile_sheet_before.png" "$DW_ARTIFACTS/dotwerk_openfile_sheet_after.png" null: 2>&1)
dw_expect "work sheet unchanged (differing pixels, $sheet)" 0 "$diff"
dw_expect "code page still in use: 10360 enabled" 0 "$(drv_get grayed menu ColorDotwerkEditor 10360)"

dw_close; code=$?
dw_expect "exit code" 0 "$code"
dw_finish
